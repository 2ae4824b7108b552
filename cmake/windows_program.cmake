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
  user32 gdi32 msimg32 shell32 comctl32 kernel32 ole32)
target_link_options(Quorvel PRIVATE -mwindows -municode $<$<CONFIG:Release>:-s>)

# Test helpers that run under Wine beside the program (window openers, preview hosts).
file(GLOB QUORVEL_E2E_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/helpers/*.cpp)
foreach(helper ${QUORVEL_E2E_HELPERS})
  get_filename_component(name ${helper} NAME_WE)
  add_executable(${name} WIN32 ${helper})
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE NOMINMAX)
  target_link_libraries(${name} PRIVATE -static -static-libgcc -static-libstdc++ user32 gdi32 kernel32)
  target_link_options(${name} PRIVATE -mwindows -municode)
endforeach()

# The button host also needs the button's window code and skins, and the platform layer the button paints through.
if(TARGET button_host)
  file(GLOB QUORVEL_BUTTON_WIN32 CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/button/win32/*.cpp
    ${CMAKE_SOURCE_DIR}/src/button/win32/*.rc)
  target_sources(button_host PRIVATE ${QUORVEL_BUTTON_WIN32}
    ${CMAKE_SOURCE_DIR}/src/platform/win32/platform_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/paint_win32.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/dpi.cpp)
  target_include_directories(button_host PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
  target_compile_definitions(button_host PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  target_link_libraries(button_host PRIVATE quorvel_core msimg32 shell32)
endif()

# The user's read-me travels beside the program: the settings dialog's link opens it.
add_custom_command(TARGET Quorvel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/assets/README.txt $<TARGET_FILE_DIR:Quorvel>/README.txt)

# The preview host can also run the preview form in its own process, where Wine shows it on screen.
if(TARGET preview_host)
  target_sources(preview_host PRIVATE ${CMAKE_SOURCE_DIR}/src/startup/win32/preview_window.cpp)
  target_include_directories(preview_host PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(preview_host PRIVATE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  target_link_libraries(preview_host PRIVATE quorvel_core)
endif()
