# The dist folder: exactly what ships to a Windows user, in the layout Tavik.exe expects beside
# it (templates\ and the manual). Made anew on every build, so nothing stale stays in it.
set(TAVIK_DIST ${CMAKE_BINARY_DIR}/dist)
add_custom_target(dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TAVIK_DIST}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIK_DIST}/templates
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavik> $<TARGET_FILE:ostrakon> $<TARGET_FILE:fenlow>
            $<TARGET_FILE:tavik_clean> ${TAVIK_DIST}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/templates/template.txt
            ${PROJECT_SOURCE_DIR}/templates/template.html ${TAVIK_DIST}/templates
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/manual/manual.html ${TAVIK_DIST}/説明書.html
    DEPENDS tavik ostrakon fenlow tavik_clean
    VERBATIM)
