# Installs Norvale (see NorvaleInstallDirs.cmake for the layout) and builds the
# files that only an installation needs: the AppStream metadata, the manual
# pages and the package's documents. `cmake --install build --prefix /usr/local`
# installs a build by hand; the Debian package (NorvalePackage.cmake) installs
# the same files below /usr.

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${generated})

# The programs, and the ide folder beside them as a link to the data folder.
install(TARGETS norvale norvale-check DESTINATION ${NORVALE_INSTALL_APP_DIR})

# norvale_install_link(LINK_PATH TARGET_PATH): a relative symbolic link, both
# paths relative to the prefix. The link is made in the build folder and
# installed as it is.
function(norvale_install_link link target)
    get_filename_component(link_dir "/${link}" DIRECTORY)
    file(RELATIVE_PATH relative "${link_dir}" "/${target}")
    get_filename_component(name "${link}" NAME)
    set(staged "${generated}/links/${link}")
    get_filename_component(staged_dir "${staged}" DIRECTORY)
    file(MAKE_DIRECTORY "${staged_dir}")
    file(CREATE_LINK "${relative}" "${staged}" SYMBOLIC)
    get_filename_component(destination "${link}" DIRECTORY)
    install(FILES "${staged}" DESTINATION "${destination}")
endfunction()

# The shipped catalogues and help pages in the data folder, linked from the
# application folder.
list(TRANSFORM NORVALE_SHIPPED_IDE_FILES PREPEND ${PROJECT_SOURCE_DIR}/ide/ OUTPUT_VARIABLE shipped_ide_files)
install(FILES ${shipped_ide_files} DESTINATION ${NORVALE_INSTALL_IDE_DIR})
norvale_install_link(${NORVALE_INSTALL_APP_DIR}/ide ${NORVALE_INSTALL_IDE_DIR})
foreach(program norvale norvale-check)
    norvale_install_link(${CMAKE_INSTALL_BINDIR}/${program} ${NORVALE_INSTALL_APP_DIR}/${program})
endforeach()

# The desktop: menu entry (which also opens message/rfc822 files), icons,
# AppStream metadata.
install(FILES ${packaging}/norvale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/src/ui/images/icon${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME norvale.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/images/norvale.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The release date comes from CHANGELOG.md's heading of this version, so the
# version is written once (here in CMake) and the changelog must have it.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release_heading
    REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
if(NOT release_heading)
    message(FATAL_ERROR "CHANGELOG.md has no heading \"## [${PROJECT_VERSION}] - YYYY-MM-DD\" for this version")
endif()
string(REGEX REPLACE ".* - " "" NORVALE_RELEASE_DATE "${release_heading}")
# The release date as Debian's changelog writes it, and as the time stamp of
# the generated manual pages, so a build gives the same files any day.
execute_process(COMMAND date -u -R -d "${NORVALE_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE NORVALE_RELEASE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u +%s -d "${NORVALE_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE NORVALE_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${packaging}/norvale.metainfo.xml.in ${generated}/${NORVALE_METAINFO_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${NORVALE_METAINFO_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Shell completion for norvale-check.
install(FILES ${packaging}/completion/norvale-check.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME norvale-check)
install(FILES ${packaging}/completion/_norvale-check DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)

# Manual pages, made by help2man from the programs' own --help and --version
# (English texts, the settings path shown as ~/.config/...), so they say what
# the programs say. Each page adds its sections from packaging/man/. In a
# sanitizer build, leak detection is off for these runs: the tests catch leaks.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
set(NORVALE_MAN_PAGES)
if(HELP2MAN AND GZIP)
    foreach(program norvale norvale-check)
        set(page ${generated}/man/${program}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/man
            COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE --unset=XDG_CONFIG_HOME --unset=LC_MESSAGES
                LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME=~ QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=${NORVALE_RELEASE_EPOCH}
                ASAN_OPTIONS=detect_leaks=0
                ${HELP2MAN} --no-info --no-discard-stderr
                --include=${packaging}/man/${program}.h2m --output=${page} $<TARGET_FILE:${program}>
            COMMAND ${GZIP} -9nf ${page}
            DEPENDS ${program} app_files ${packaging}/man/${program}.h2m
            COMMENT "Writing the manual page of ${program}"
            VERBATIM)
        list(APPEND NORVALE_MAN_PAGES ${page}.gz)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${NORVALE_MAN_PAGES})
    install(FILES ${NORVALE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "help2man or gzip not found: the manual pages are not built (./dev.sh installs help2man)")
endif()

# The documents Debian asks every package for: its copyright and a changelog
# (in Debian's form, pointing to CHANGELOG.md, which is installed beside it).
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
add_custom_command(OUTPUT ${generated}/changelog.gz ${generated}/CHANGELOG.md.gz
    COMMAND ${GZIP} -9nkf ${generated}/changelog
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${generated}/CHANGELOG.md
    COMMAND ${GZIP} -9nf ${generated}/CHANGELOG.md
    DEPENDS ${generated}/changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md
    COMMENT "Compressing the changelogs"
    VERBATIM)
add_custom_target(package_documents ALL DEPENDS ${generated}/changelog.gz ${generated}/CHANGELOG.md.gz)
install(FILES ${packaging}/copyright ${generated}/changelog.gz ${generated}/CHANGELOG.md.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/norvale)
