# The web build's site: a folder of static files any web server can serve.
#   site/index.html, page.js, page.css    the page: the window's frame, boxes, input
#   site/worker.js, discfire.js/.wasm     the program, in a Web Worker of its own
#   site/sw.js                            adds the cross-origin isolation headers
# The font subset is embedded in the .wasm: nothing is drawn without it.
set(site ${CMAKE_BINARY_DIR}/site)
set(web ${CMAKE_BINARY_DIR}/web)
set(page_dir ${PROJECT_SOURCE_DIR}/platform/backend/web/site)
set(ipa_font /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf)
set(ipa_licence /usr/share/doc/fonts-ipafont-gothic/copyright)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# fontTools is Debian's, for Debian's own Python.
find_program(DISCFIRE_FONTTOOLS_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
if(NOT EXISTS ${ipa_font})
  message(FATAL_ERROR "No ${ipa_font}: make web installs fonts-ipafont-gothic")
endif()

get_property(text_sources GLOBAL PROPERTY DISCFIRE_TEXT_SOURCES)
add_custom_command(
  OUTPUT ${web}/font-chars.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${web}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/cp932lit.py chars
          ${web}/font-chars.txt ${text_sources}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/cp932lit.py ${text_sources}
  COMMENT "Listing the characters the program's texts can draw"
  VERBATIM)
add_custom_command(
  OUTPUT ${web}/discfire-pgothic.ttf
  COMMAND ${DISCFIRE_FONTTOOLS_PYTHON} ${PROJECT_SOURCE_DIR}/tools/mkwebfont.py ${ipa_font}
          ${web}/discfire-pgothic.ttf "Discfire PGothic" ${web}/font-chars.txt
          ${DISCFIRE_FREETYPE_SOURCE}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkwebfont.py ${web}/font-chars.txt ${ipa_font}
  COMMENT "Subsetting the Japanese Gothic for the web"
  VERBATIM)
add_custom_target(discfire_web_font DEPENDS ${web}/discfire-pgothic.ttf)

add_executable(discfire $<TARGET_OBJECTS:win32_entry>)
target_link_libraries(discfire PRIVATE app gfx music game discfire_resources win32_web)
add_dependencies(discfire discfire_web_font)
# Static data above 64 KiB: IS_INTRESOURCE takes any lower pointer for a resource number.
set(web_program_options
  -sENVIRONMENT=worker -sGLOBAL_BASE=65536 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
  "SHELL:--embed-file ${web}/discfire-pgothic.ttf@/fonts/discfire-pgothic.ttf")
target_link_options(discfire PRIVATE ${web_program_options})
set_property(TARGET discfire APPEND PROPERTY LINK_DEPENDS ${web}/discfire-pgothic.ttf)
set_target_properties(discfire PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})

set(page_files index.html page.css page.js worker.js sw.js)
set(page_outputs)
foreach(f IN LISTS page_files)
  add_custom_command(OUTPUT ${site}/${f}
    COMMAND ${CMAKE_COMMAND} -E copy ${page_dir}/${f} ${site}/${f}
    DEPENDS ${page_dir}/${f} VERBATIM)
  list(APPEND page_outputs ${site}/${f})
endforeach()
add_custom_command(OUTPUT ${site}/licences/IPA-Font-License.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${ipa_licence} ${site}/licences/IPA-Font-License.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/THIRD_PARTY.md
          ${site}/licences/THIRD_PARTY.md
  DEPENDS ${ipa_licence} ${PROJECT_SOURCE_DIR}/THIRD_PARTY.md VERBATIM)
add_custom_target(site ALL DEPENDS ${page_outputs} ${site}/licences/IPA-Font-License.txt discfire)

# The timer benchmark, for bench/web_bench.mjs; not part of the site.
add_executable(tick_rate_web ${PROJECT_SOURCE_DIR}/bench/tick_rate.cpp)
target_link_libraries(tick_rate_web PRIVATE gfx game discfire_resources win32_web)
add_dependencies(tick_rate_web discfire_web_font)
target_link_options(tick_rate_web PRIVATE ${web_program_options})
set_target_properties(tick_rate_web PROPERTIES OUTPUT_NAME tick_rate
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
