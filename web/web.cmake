# The web build (Emscripten): the same engine and banks, the runtime with the
# web backend instead of the SDL window, one self-contained page per program.
# Used through the `web` preset; NODE_PATH must reach Debian's node modules.
# The engine's CP932 literals are converted at compile time: clang needs the room GCC is given.
add_compile_options(-Wall -Wextra -Wno-missing-field-initializers -fconstexpr-steps=268435456
                    -sDISABLE_EXCEPTION_CATCHING=0 -include ${CMAKE_SOURCE_DIR}/web/compat/float_to_chars.hpp)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release)
endif()

file(GLOB RUNTIME_SOURCES CONFIGURE_DEPENDS runtime/*.cpp)
list(FILTER RUNTIME_SOURCES EXCLUDE REGEX "runtime/(window|glyphs_ttf)\\.cpp$")
add_library(runtime STATIC ${RUNTIME_SOURCES})
target_include_directories(runtime PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB ENGINE_SOURCES CONFIGURE_DEPENDS engine/*.cpp)
add_library(engine STATIC ${ENGINE_SOURCES})
target_link_libraries(engine PUBLIC runtime)
file(GLOB SCRIPT_SOURCES CONFIGURE_DEPENDS problems/script/*.cpp)
add_library(script STATIC ${SCRIPT_SOURCES})
target_link_libraries(script PUBLIC engine)
file(GLOB BANK1_SOURCES CONFIGURE_DEPENDS problems/bank1/*.cpp)
add_library(bank1 OBJECT ${BANK1_SOURCES})
target_link_libraries(bank1 PUBLIC script)
file(GLOB BANK2_SOURCES CONFIGURE_DEPENDS problems/bank2/*.cpp)
add_library(bank2 OBJECT ${BANK2_SOURCES})
target_link_libraries(bank2 PUBLIC script)
add_library(player STATIC tools/player.cpp)
target_link_libraries(player PUBLIC script)

set(VARNEL_WEB_LINK
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sDISABLE_EXCEPTION_CATCHING=0 -sSINGLE_FILE=1 -sMINIFY_HTML=0 -sENVIRONMENT=web
    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_varnel_state_json','_varnel_practising']"
    "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString']"
    --shell-file ${CMAKE_SOURCE_DIR}/web/shell.html)

foreach(bank 1 2)
  add_executable(varnel${bank} web/main.cpp)
  target_compile_definitions(varnel${bank} PRIVATE VARNEL_BANK=${bank})
  target_link_libraries(varnel${bank} PRIVATE bank${bank} player)
  target_link_options(varnel${bank} PRIVATE ${VARNEL_WEB_LINK})
  set_target_properties(varnel${bank} PROPERTIES SUFFIX ".html"
                        LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/shell.html)
endforeach()
configure_file(web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)
