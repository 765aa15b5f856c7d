# The Linux demo CD in ${CMAKE_BINARY_DIR}/cd: the launcher as `start`, the
# Windows CD's AUTORUN.INF, and two stub setups of our own where the real CD
# has Acrobat\Setup.exe and Data\Subset.exe (native programs despite the
# name). Included from setup/, where the `start` target is defined.
set(DEMOCD_DIR ${CMAKE_BINARY_DIR}/cd)

if(TARGET start AND TARGET fltk)
  function(democd_stub target title folder file_name)
    add_executable(${target} ${PROJECT_SOURCE_DIR}/tools/disc/stub_setup/stub_linux.cpp)
    target_compile_definitions(${target} PRIVATE STUB_TITLE="${title}")
    target_link_libraries(${target} PRIVATE fltk)
    set_target_properties(${target} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${DEMOCD_DIR}/${folder}
      OUTPUT_NAME ${file_name}
      SUFFIX ".exe")
  endfunction()
  democd_stub(stub_acrobat "Acrobat Reader Setup" Acrobat Setup)
  democd_stub(stub_game "Mirelund Setup" Data Subset)

  configure_file(${PROJECT_SOURCE_DIR}/tools/disc/cd/AUTORUN.INF ${DEMOCD_DIR}/AUTORUN.INF COPYONLY)

  add_custom_command(OUTPUT ${DEMOCD_DIR}/start
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:start> ${DEMOCD_DIR}/start
    DEPENDS start
    COMMENT "Copying the launcher onto the demo CD")
  set(_democd_files ${DEMOCD_DIR}/start)
  # The launcher's accessibility module lies beside it.
  if(TARGET mirelund-atk)
    add_custom_command(OUTPUT ${DEMOCD_DIR}/libmirelund-atk.so
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:mirelund-atk> ${DEMOCD_DIR}/libmirelund-atk.so
      DEPENDS mirelund-atk
      COMMENT "Copying the accessibility module onto the demo CD")
    list(APPEND _democd_files ${DEMOCD_DIR}/libmirelund-atk.so)
  endif()
  add_custom_target(democd ALL DEPENDS ${_democd_files} stub_acrobat stub_game)
endif()
