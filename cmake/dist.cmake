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

# The zip a Windows user downloads: the dist folder as one top folder named after the package,
# Tavik-<version>-win32.zip or -win64.zip beside the dist folder. The names are stored as UTF-8
# with the zip's UTF-8 flag, so 説明書.html unpacks under its name on any Windows; libarchive
# needs a UTF-8 locale to read the name at all, whatever the caller's.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TAVIK_PACKAGE Tavik-${PROJECT_VERSION}-win64)
else()
    set(TAVIK_PACKAGE Tavik-${PROJECT_VERSION}-win32)
endif()
set(TAVIK_ZIP ${CMAKE_BINARY_DIR}/${TAVIK_PACKAGE}.zip)
add_custom_target(zip ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/package ${TAVIK_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${TAVIK_DIST} ${CMAKE_BINARY_DIR}/package/${TAVIK_PACKAGE}
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
            ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
            ${CMAKE_COMMAND} -E tar cf ${TAVIK_ZIP} --format=zip ${TAVIK_PACKAGE}
    BYPRODUCTS ${TAVIK_ZIP}
    DEPENDS dist
    VERBATIM)
