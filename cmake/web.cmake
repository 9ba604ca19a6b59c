# The browser edition: the engine as WebAssembly with the page around it, in build/.../site.
# Every run is an instance of its own (MODULARIZE), started by the page with a command line.
set(ZIR_SITE "${CMAKE_CURRENT_BINARY_DIR}/site")

set(ZIR_OBJECTS)
foreach(target IN LISTS ZIR_FLOOR_TARGETS)
  list(APPEND ZIR_OBJECTS $<TARGET_OBJECTS:${target}>)
endforeach()
add_executable(zirkula_web web/main.cpp ${ZIR_OBJECTS})
target_include_directories(zirkula_web PRIVATE include)
set_target_properties(zirkula_web PROPERTIES OUTPUT_NAME zirkula-engine SUFFIX ".js"
                                             RUNTIME_OUTPUT_DIRECTORY "${ZIR_SITE}")
set(ZIR_JS_LIBRARY "${CMAKE_CURRENT_SOURCE_DIR}/src/platform/browser.js")
target_link_options(zirkula_web PRIVATE
  # The engine's loops sleep and wait deep down; Asyncify lets them give the browser its
  # turn, which needs room to keep that many frames while they sleep.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=1048576
  "-sASYNCIFY_IMPORTS=['zir_block','zir_yield','zir_write_png']"
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
  -sMODULARIZE=1 -sEXPORT_NAME=createZirkulaEngine -sENVIRONMENT=web -sINVOKE_RUN=0
  -sFORCE_FILESYSTEM=1 "-sEXPORTED_RUNTIME_METHODS=['FS','ccall','stringToUTF8','lengthBytesUTF8','UTF8ToString']"
  "-sEXPORTED_FUNCTIONS=['_main','_malloc','_zir_would_grab','_zir_grab_points']"
  "--js-library=${ZIR_JS_LIBRARY}")
set_target_properties(zirkula_web PROPERTIES LINK_DEPENDS "${ZIR_JS_LIBRARY}")

# The page and what it shows first, copied beside the engine.
file(GLOB ZIR_WEB_FILES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/web/*.html"
     "${CMAKE_CURRENT_SOURCE_DIR}/web/*.js" "${CMAKE_CURRENT_SOURCE_DIR}/web/*.css")
set(ZIR_SITE_COPIES)
foreach(file IN LISTS ZIR_WEB_FILES ITEMS "${CMAKE_CURRENT_SOURCE_DIR}/examples/demo.zir")
  get_filename_component(name "${file}" NAME)
  add_custom_command(OUTPUT "${ZIR_SITE}/${name}" DEPENDS "${file}"
                     COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${ZIR_SITE}/${name}")
  list(APPEND ZIR_SITE_COPIES "${ZIR_SITE}/${name}")
endforeach()

# The editor component, from the npm registry (web/package.json, installed by
# tools/build-web.sh), with its licence.
set(ZIR_CODEMIRROR "${CMAKE_CURRENT_SOURCE_DIR}/web/node_modules/codemirror")
if(NOT EXISTS "${ZIR_CODEMIRROR}/lib/codemirror.js")
  message(FATAL_ERROR "CodeMirror is missing: run 'npm ci' in web/ (tools/build-web.sh does)")
endif()
foreach(part lib/codemirror.js lib/codemirror.css addon/lint/lint.js addon/lint/lint.css LICENSE)
  get_filename_component(name "${part}" NAME)
  add_custom_command(OUTPUT "${ZIR_SITE}/codemirror/${name}" DEPENDS "${ZIR_CODEMIRROR}/${part}"
                     COMMAND ${CMAKE_COMMAND} -E copy "${ZIR_CODEMIRROR}/${part}"
                             "${ZIR_SITE}/codemirror/${name}")
  list(APPEND ZIR_SITE_COPIES "${ZIR_SITE}/codemirror/${name}")
endforeach()

# The example and gallery scripts with the list the page offers them from.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB ZIR_EXAMPLES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/examples/*.zir"
     "${CMAKE_CURRENT_SOURCE_DIR}/examples/*.input" "${CMAKE_CURRENT_SOURCE_DIR}/examples/gallery/*.zir"
     "${CMAKE_CURRENT_SOURCE_DIR}/examples/gallery/*.input")
add_custom_command(OUTPUT "${ZIR_SITE}/gallery.json"
                   COMMAND Python3::Interpreter "${CMAKE_CURRENT_SOURCE_DIR}/tools/gallery_index.py"
                           "${ZIR_SITE}"
                   DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tools/gallery_index.py"
                           "${CMAKE_CURRENT_SOURCE_DIR}/docs/gallery/README.md" ${ZIR_EXAMPLES})
list(APPEND ZIR_SITE_COPIES "${ZIR_SITE}/gallery.json")
add_custom_target(site ALL DEPENDS ${ZIR_SITE_COPIES} zirkula_web)
