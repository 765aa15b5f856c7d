# The Windows demo CD in ${CMAKE_BINARY_DIR}/cd: START.EXE (without debug
# information and symbols), AUTORUN.INF, and two stub setups of our own where
# the real CD has Acrobat\Setup.exe and Data\Subset.exe. Included from setup/, where
# the `start` target is defined.
set(DEMOCD_DIR ${CMAKE_BINARY_DIR}/cd)

if(TARGET start)
  set(_stub_dir ${PROJECT_SOURCE_DIR}/tools/disc/stub_setup)
  set(DEMOCD_STUB_RESOURCES ${CMAKE_CURRENT_BINARY_DIR}/stub_win32_res.obj)
  add_custom_command(OUTPUT ${DEMOCD_STUB_RESOURCES}
    COMMAND ${CMAKE_RC_COMPILER} --input-format=rc --output-format=coff -I ${_stub_dir}
            -i ${_stub_dir}/stub_win32.rc -o ${DEMOCD_STUB_RESOURCES}
    DEPENDS ${_stub_dir}/stub_win32.rc ${_stub_dir}/stub_win32.manifest
    COMMENT "Compiling the stub setups' manifest")

  # A stub setup: STUB_TITLE names what it stands for. Tests make more.
  function(democd_win32_stub target title folder file_name)
    add_executable(${target} WIN32 ${PROJECT_SOURCE_DIR}/tools/disc/stub_setup/stub_win32.cpp ${DEMOCD_STUB_RESOURCES})
    target_compile_definitions(${target} PRIVATE STUB_TITLE="${title}")
    target_link_libraries(${target} PRIVATE user32 gdi32 kernel32)
    target_link_options(${target} PRIVATE -s)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder} OUTPUT_NAME ${file_name})
  endfunction()
  democd_win32_stub(stub_acrobat "Acrobat Reader Setup" ${DEMOCD_DIR}/Acrobat Setup)
  democd_win32_stub(stub_game "Mirelund Setup" ${DEMOCD_DIR}/Data Subset)

  configure_file(${PROJECT_SOURCE_DIR}/tools/disc/cd/AUTORUN.INF ${DEMOCD_DIR}/AUTORUN.INF COPYONLY)

  # objcopy writes the time of its run into a PE header unless it keeps the
  # input's dates: the linker's "no time stamp" (0) is kept.
  # Signed, where a key is named, before anything copies it onto a disc; the
  # unsigned file stays in unsigned/, where a rebuild can be compared with it.
  include(${PROJECT_SOURCE_DIR}/cmake/signing.cmake)
  if(START_SIGNING)
    set(_unsigned ${CMAKE_BINARY_DIR}/unsigned/START.EXE)
    add_custom_command(OUTPUT ${DEMOCD_DIR}/START.EXE
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/unsigned
      COMMAND ${CMAKE_OBJCOPY} --strip-all --preserve-dates $<TARGET_FILE:start> ${_unsigned}
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${START_SOURCE_DATE_EPOCH}
              bash ${PROJECT_SOURCE_DIR}/tools/disc/sign-exe.sh ${START_SIGN_ARGS} ${_unsigned} ${DEMOCD_DIR}/START.EXE
      DEPENDS start ${PROJECT_SOURCE_DIR}/tools/disc/sign-exe.sh ${START_SIGN_DEPENDS} ${START_SOURCE_DATE_FILE}
      COMMENT "Copying the launcher onto the demo CD, signed"
      VERBATIM)
  else()
    add_custom_command(OUTPUT ${DEMOCD_DIR}/START.EXE
      COMMAND ${CMAKE_OBJCOPY} --strip-all --preserve-dates $<TARGET_FILE:start> ${DEMOCD_DIR}/START.EXE
      COMMAND ${CMAKE_COMMAND} -E touch ${DEMOCD_DIR}/START.EXE
      DEPENDS start ${START_SIGN_DEPENDS}
      COMMENT "Copying the launcher onto the demo CD")
  endif()
  add_custom_target(democd ALL DEPENDS ${DEMOCD_DIR}/START.EXE stub_acrobat stub_game)
endif()
