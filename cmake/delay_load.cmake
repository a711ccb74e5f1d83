# Windows libraries the launcher needs only once it runs (the icon image list,
# the file dialogs) are loaded at their first call rather than before WinMain:
# under Wine loading the common controls alone takes longer than the rest of
# the start. nubo_delayed(<name>) makes the target nubo_<name>, which stands for
# <name>.dll loaded at first use where the toolchain can (MSVC, and 64-bit
# mingw-w64 through a delay-import library made from the system's import
# library); elsewhere it is the plain import.
function(nubo_delayed name)
  add_library(nubo_${name} INTERFACE)
  if(MSVC)
    target_link_libraries(nubo_${name} INTERFACE ${name} delayimp)
    target_link_options(nubo_${name} INTERFACE /DELAYLOAD:${name}.dll)
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
                  OUTPUT_VARIABLE import OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8 OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM OR NOT EXISTS "${import}")
    # 32-bit names carry their argument sizes; the plain import serves there.
    target_link_libraries(nubo_${name} INTERFACE ${name})
    return()
  endif()
  execute_process(COMMAND ${CMAKE_NM} ${import} OUTPUT_VARIABLE symbols)
  string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" entries "${symbols}")
  set(def "LIBRARY ${name}.dll\nEXPORTS\n")
  foreach(entry IN LISTS entries)
    string(REPLACE " I __imp_" "" entry "${entry}")
    string(APPEND def "${entry}\n")
  endforeach()
  set(dir ${CMAKE_BINARY_DIR}/delay)
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/${name}.def "${def}")
  execute_process(COMMAND ${CMAKE_DLLTOOL} -d ${dir}/${name}.def -y ${dir}/lib${name}_delay.a
                  RESULT_VARIABLE failed)
  if(failed)
    target_link_libraries(nubo_${name} INTERFACE ${name})
  else()
    target_link_libraries(nubo_${name} INTERFACE ${dir}/lib${name}_delay.a)
  endif()
endfunction()
