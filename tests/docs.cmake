# The documents' links: every relative link and picture in README.md and
# docs/*.md names a file that exists, and each anchor a heading in it. Once,
# in the plain Linux tree; needs Python 3 alone.
if(NOT CMAKE_CROSSCOMPILING AND NOT START_SANITIZE)
  add_test(NAME docs_links COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/docs/links_test.py ${PROJECT_SOURCE_DIR})
endif()
