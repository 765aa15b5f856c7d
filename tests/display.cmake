# The FLTK backend's tests: unit tests of its display-free parts, and display
# tests, each on its own Xvfb (label "display"), driven by the gallery.
if(NOT TARGET rt_fltk)
  return()
endif()

add_executable(gallery gallery.cpp)
target_link_libraries(gallery PRIVATE logic rt_platform)
