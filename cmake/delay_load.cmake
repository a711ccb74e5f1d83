# Windows libraries the launcher needs only once it runs (the icon image list,
# the file dialogs) are loaded at their first call rather than before WinMain:
# under Wine loading the common controls alone takes longer than the rest of
# the start. nubo_delayed(<name>) makes the target nubo_<name>, which stands for
# <name>.dll loaded at first use where the toolchain can (MSVC, and mingw-w64
# through a delay-import library made from the system's import library);
# elsewhere it is the plain import. `api` names the macro that the library's
# header puts before each function it declares.
function(nubo_delayed name api)
  add_library(nubo_${name} INTERFACE)
  if(MSVC)
    target_link_libraries(nubo_${name} INTERFACE ${name} delayimp)
    target_link_options(nubo_${name} INTERFACE /DELAYLOAD:${name}.dll)
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
                  OUTPUT_VARIABLE import OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM OR NOT EXISTS "${import}")
    target_link_libraries(nubo_${name} INTERFACE ${name})
    return()
  endif()
  execute_process(COMMAND ${CMAKE_NM} ${import} OUTPUT_VARIABLE symbols)
  # 32-bit symbols carry a leading underscore and their argument sizes
  # (__imp__Name@8), which the names in the DLL do not (--kill-at).
  set(prefix " I __imp_")
  set(kill_at "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(prefix " I __imp__")
    set(kill_at --kill-at)
    # 32-bit ld leaves a delay-load slot empty when code calls through it
    # directly, as the header's dllimport makes it (binutils bug 14339): the
    # calls go to the library's stubs instead, in every source of the build.
    add_compile_definitions(${api}=)
  endif()
  string(REGEX MATCHALL "${prefix}[A-Za-z0-9_@]+" entries "${symbols}")
  set(def "LIBRARY ${name}.dll\nEXPORTS\n")
  foreach(entry IN LISTS entries)
    string(REPLACE "${prefix}" "" entry "${entry}")
    string(APPEND def "${entry}\n")
  endforeach()
  set(dir ${CMAKE_BINARY_DIR}/delay)
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/${name}.def "${def}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} -d ${dir}/${name}.def
                          -y ${dir}/lib${name}_delay.a RESULT_VARIABLE failed)
  if(failed)
    target_link_libraries(nubo_${name} INTERFACE ${name})
  else()
    target_link_libraries(nubo_${name} INTERFACE ${dir}/lib${name}_delay.a)
  endif()
endfunction()
