# The Windows program: the portable core, the Win32 forwarding layer and each subsystem's window code.
enable_language(RC)

file(GLOB QUORVEL_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/win32/*.rc
  ${CMAKE_SOURCE_DIR}/src/*/win32/*.cpp
  ${CMAKE_SOURCE_DIR}/src/*/win32/*.rc)
list(REMOVE_DUPLICATES QUORVEL_WIN32_SOURCES)

add_executable(Quorvel WIN32 ${QUORVEL_WIN32_SOURCES})
set_target_properties(Quorvel PROPERTIES OUTPUT_NAME Quorvel SUFFIX ".scr")
target_include_directories(Quorvel PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_definitions(Quorvel PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
target_compile_definitions(quorvel_core PRIVATE _WIN32_WINNT=0x0A00)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR} -I${CMAKE_SOURCE_DIR}/src --codepage=65001")
target_link_libraries(Quorvel PRIVATE quorvel_core
  -static -static-libgcc -static-libstdc++
  user32 gdi32 kernel32)
target_link_options(Quorvel PRIVATE -mwindows -municode $<$<CONFIG:Release>:-s>)

# The project's version for the version resource, and for packaging/build.sh, which names the packages after it.
configure_file(${CMAKE_SOURCE_DIR}/src/platform/win32/version.h.in ${CMAKE_BINARY_DIR}/generated/quorvel_version.h)
configure_file(${CMAKE_SOURCE_DIR}/packaging/version.nsh.in ${CMAKE_BINARY_DIR}/quorvel_version.nsh)
target_include_directories(Quorvel PRIVATE ${CMAKE_BINARY_DIR}/generated)

# Programs the end-to-end tests run under Wine beside the saver (tests/e2e/helpers), and the presenting floor
# that tools/measure_present.sh measures the saver against. The probe is a console program: it prints its answers.
set(QUORVEL_E2E ${CMAKE_SOURCE_DIR}/tests/e2e/helpers)
file(GLOB QUORVEL_BUTTON_WIN32 CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/button/win32/*.cpp ${CMAKE_SOURCE_DIR}/src/button/win32/*.rc)
add_executable(probe ${QUORVEL_E2E}/probe.cpp)
add_executable(preview_host WIN32 ${QUORVEL_E2E}/preview_host.cpp ${CMAKE_SOURCE_DIR}/src/startup/win32/preview_window.cpp)
add_executable(button_host WIN32 ${QUORVEL_E2E}/button_host.cpp ${QUORVEL_BUTTON_WIN32}
  ${CMAKE_SOURCE_DIR}/src/platform/win32/platform_win32.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/win32/paint_win32.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/win32/dpi.cpp)
add_executable(present_floor WIN32 ${CMAKE_SOURCE_DIR}/tools/win32/present_floor.cpp)
foreach(helper probe preview_host button_host present_floor)
  target_include_directories(${helper} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${helper} PRIVATE
    UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  target_link_libraries(${helper} PRIVATE quorvel_core -static -static-libgcc -static-libstdc++
    user32 gdi32 shell32 kernel32)
  target_link_options(${helper} PRIVATE -municode)
endforeach()

# The DLL-planting test's pair: a DLL that leaves a mark when loaded, and a program with the saver's old imports.
add_library(planted_dll SHARED ${QUORVEL_E2E}/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME planted)
target_link_options(planted_dll PRIVATE -Wl,--kill-at)  # exported as msimg32 names it, undecorated
add_executable(old_imports ${QUORVEL_E2E}/old_imports.cpp)
foreach(helper planted_dll old_imports)
  target_compile_definitions(${helper} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00)
  target_link_libraries(${helper} PRIVATE -static -static-libgcc -static-libstdc++ msimg32 shell32 gdi32 kernel32)
endforeach()

# The user's read-me travels beside the program: the settings dialog's link opens it.
add_custom_command(TARGET Quorvel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/assets/README.txt $<TARGET_FILE_DIR:Quorvel>/README.txt)
