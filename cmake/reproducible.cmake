# What makes two builds of one commit give the same bytes, wherever and
# whenever they run: no build path and no link time in the programs, and one
# date for everything that carries one (the manual, the disc image), taken
# from the last commit.

# Paths in debug information, __FILE__ and the like are written relative to
# the source and the build tree. The build tree's map comes last so that it
# wins for a build tree inside the source tree: GCC takes the last match.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

# A PE header's time stamp is the link time unless told otherwise; 0 says "none".
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# START_SOURCE_DATE_EPOCH: the enclosing build's date in the image's cross
# build; else SOURCE_DATE_EPOCH from the environment where it is set
# (reproducible-builds.org), else the last commit's date, else the
# modification time of the top CMakeLists.txt (a tarball keeps it). Every
# tree says which in one line. A new commit makes it configure itself again.
function(start_source_date_epoch)
  set(epoch "")
  set(source "")
  if(START_PARENT_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    # The disc image's cross build takes the date of the build around it.
    set(epoch ${START_PARENT_SOURCE_DATE_EPOCH})
    set(source "the build that made this one")
  elseif("$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    set(epoch $ENV{SOURCE_DATE_EPOCH})
    set(source "SOURCE_DATE_EPOCH")
  else()
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
      message(WARNING "SOURCE_DATE_EPOCH='$ENV{SOURCE_DATE_EPOCH}' is not a number of seconds: ignored")
    endif()
    find_package(Git QUIET)
    if(GIT_FOUND)
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE commit_time ERROR_QUIET
        OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_status)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir --show-toplevel
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_dirs ERROR_QUIET
        OUTPUT_STRIP_TRAILING_WHITESPACE)
      string(REPLACE "\n" ";" git_dirs "${git_dirs}")
      list(GET git_dirs 0 git_dir)
      list(GET git_dirs -1 git_top)
      # Sources unpacked inside another repository are not that repository's.
      file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_dir)
      if(git_status EQUAL 0 AND commit_time MATCHES "^[0-9]+$" AND git_top STREQUAL source_dir)
        set(epoch ${commit_time})
        set(source "the last commit")
        if(EXISTS ${git_dir}/logs/HEAD)
          set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
        endif()
      endif()
    endif()
  endif()
  if(epoch STREQUAL "")
    file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt epoch "%s" UTC)
    set(source "CMakeLists.txt's modification time: neither git nor SOURCE_DATE_EPOCH says")
  endif()
  execute_process(COMMAND date -u -d @${epoch} "+%Y-%m-%d %H:%M:%S UTC" OUTPUT_VARIABLE when
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  message(STATUS "Build date: ${when} (SOURCE_DATE_EPOCH=${epoch}, from ${source})")
  # What carries the date depends on this file, which changes only with it.
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/source_date_epoch.txt CONTENT "${epoch}\n")
  set(START_SOURCE_DATE_EPOCH ${epoch} PARENT_SCOPE)
  set(START_SOURCE_DATE_FILE ${CMAKE_BINARY_DIR}/source_date_epoch.txt PARENT_SCOPE)
endfunction()
start_source_date_epoch()
