# The Windows side: the real platform, the shipped exe, and the programs that test it under Wine.
# The headers declare the API up to Windows XP, but the exe runs from Windows 95 on: the ANSI calls
# are the default (no UNICODE), anything newer than Windows 95 is looked up at run time, and
# tests/audit/imports.sh holds the import table to that.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 NOMINMAX WIN32_LEAN_AND_MEAN)
if(MINGW)
  # Static and stripped: one file to ship, no MinGW runtime DLLs beside it. Small as well:
  # - no exceptions: the program throws none and catches none. The unwind tables go with them, and
  #   these matter twice, as the linker keeps every function a kept table describes;
  # - no guards on function-local statics: all the code runs on the one window thread, and the
  #   library's guard, which can throw, would bring the exception runtime back;
  # - src/app/no_exceptions.cpp keeps out the rest of that runtime, which libstdc++ would otherwise
  #   link for its own throwing functions.
  set(OSTREVO_MINGW_COMPILE_OPTIONS -ffunction-sections -fdata-sections -fno-exceptions
                                    -fno-asynchronous-unwind-tables -fno-threadsafe-statics)
  add_compile_options(${OSTREVO_MINGW_COMPILE_OPTIONS})
  # The portable library was defined before this file was read.
  target_compile_options(ostrevo_core PRIVATE ${OSTREVO_MINGW_COMPILE_OPTIONS})
  # Up to C++17 libstdc++ declares the string members extern templates and links its own copies,
  # compiled with exceptions, which would bring the whole runtime back. From C++20 on it lets them
  # be compiled with the program. The code itself stays C++17.
  set(CMAKE_CXX_STANDARD 20)
  set_target_properties(ostrevo_core PROPERTIES CXX_STANDARD 20)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # OS and subsystem version 4.0: Windows 95/98/ME refuse to load an exe that asks for more.
    add_link_options(-Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
                     -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
  else()
    # The x86-64 exe is for the 64-bit NT systems only, which take what they took before.
    add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1
                     -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
  endif()
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_link_options(-s)
  endif()
endif()

file(GLOB OSTREVO_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(ostrevo_win32 STATIC ${OSTREVO_WIN32_SOURCES})
target_include_directories(ostrevo_win32 PUBLIC src)
target_link_libraries(ostrevo_win32 PUBLIC ostrevo_core shell32 user32 advapi32 kernel32 comctl32)

add_executable(ostrevo WIN32 src/app/main.cpp src/app/no_exceptions.cpp src/app/ostrevo.rc)
target_link_libraries(ostrevo PRIVATE ostrevo_win32 ostrevo_core)
# windres reports no dependencies, so the files the script pulls in are named here to rebuild it.
set(OSTREVO_RC_INPUTS app/ostrevo.ico app/ostrevo.manifest app/resource.h app/version.h
                      platform/win32/inputbox.rc platform/win32/inputbox_resource.h
                      platform/win32/autologon.rc platform/win32/autologon_resource.h)
list(TRANSFORM OSTREVO_RC_INPUTS PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/src/")
set_source_files_properties(src/app/ostrevo.rc PROPERTIES OBJECT_DEPENDS "${OSTREVO_RC_INPUTS}")

# The demo's small driver: clicks the tray icon and presses keys inside the Wine desktop.
add_executable(trayclick scripts/trayclick.cpp)
target_link_libraries(trayclick PRIVATE user32)

# The end-to-end rig, run under Wine by tests/e2e/run.sh against the exe above.
add_subdirectory(tests/e2e)
add_subdirectory(bench/perf)
