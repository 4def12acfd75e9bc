# What a Linux package holds beside the two programs, and the Debian package itself (cpack -G DEB).
# scripts/package.sh builds, checks and tries the package.

option(VELKMERGE_MANPAGES "Make the manual pages from the programs' --help with help2man" OFF)

set(velkmerge_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(velkmerge_docdir ${CMAKE_INSTALL_DATADIR}/doc/velkmerge)

# A page per program, from its own --help and --version and a few extra sections, so that nothing is
# written twice. Debian wants manual pages and changelogs compressed, without a time stamp.
if(VELKMERGE_MANPAGES)
    find_program(HELP2MAN help2man REQUIRED)
    find_program(GZIP gzip REQUIRED)
    function(velkmerge_manpage target name)
        set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${target}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
            COMMAND ${HELP2MAN} --no-info --section=1 --name=${name}
                --include=${velkmerge_packaging}/${target}.h2m --output=${page} $<TARGET_FILE:${target}>
            COMMAND ${GZIP} -9nf ${page}
            DEPENDS ${target} ${velkmerge_packaging}/${target}.h2m
            VERBATIM)
        add_custom_target(${target}-manpage ALL DEPENDS ${page}.gz)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endfunction()
    velkmerge_manpage(velkmerge-cli "merge a callsign list into the Velk database Call3.txt")
    if(TARGET velkmerge)
        velkmerge_manpage(velkmerge "merge a callsign list into the Velk database Call3.txt, in a window")
    endif()
endif()

install(FILES ${velkmerge_packaging}/velkmerge-cli.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME velkmerge-cli)
install(FILES README.md ${velkmerge_packaging}/copyright DESTINATION ${velkmerge_docdir})
configure_file(${velkmerge_packaging}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    COMMAND gzip -9nkf ${CMAKE_CURRENT_BINARY_DIR}/changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(velkmerge-changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${velkmerge_docdir})
if(TARGET velkmerge)
    configure_file(${velkmerge_packaging}/velkmerge.metainfo.xml
        ${CMAKE_CURRENT_BINARY_DIR}/org.tamsk.VelkMerge.metainfo.xml @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.tamsk.VelkMerge.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_PACKAGE_NAME velkmerge)
set(CPACK_PACKAGE_VENDOR "The VelkMerge developers")
set(CPACK_PACKAGE_CONTACT "The VelkMerge developers <maintainers@users.noreply.c-seed-af96e593.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "merge a callsign list into the Velk callsign database")
# The long description; CPack indents it and marks the empty line as a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION
    "VelkMerge merges a newer callsign list into Call3.txt, the callsign database
of the Velk program: it adds the new calls, brings known calls up to date as
its options say, and lets the user settle the calls whose data still differ,
field by field or pair by pair, with undo. The previous file is kept as
Call3.bak, and nothing the merge was not asked to change is lost.

The package holds the desktop program velkmerge (Qt 6) and the batch command
velkmerge-cli.")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # velkmerge_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
