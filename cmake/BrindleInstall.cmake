# Install rules and the Debian package.
#
# The two programs and the installed keyword files share a private directory,
# libexec/brindle, because the programs read those files from their own
# directory; bin/ holds relative links to the programs. Every destination is
# relative, so `cmake --install --prefix` and the package put the same tree
# under another prefix.
include(GNUInstallDirs)

set(BRINDLE_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/brindle)
set(brindle_resources ${PROJECT_SOURCE_DIR}/resources)

install(TARGETS brindle brindle-cli RUNTIME DESTINATION ${BRINDLE_PROGRAM_DIR})
install(FILES ${brindle_resources}/KEYWORD_COLOR.CSV ${brindle_resources}/KEYWORD_ARRANGE.CSV
        DESTINATION ${BRINDLE_PROGRAM_DIR})

# The links are made here and installed as links.
file(RELATIVE_PATH brindle_link_target ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/brindle)
set(brindle_links ${PROJECT_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${brindle_links})
foreach(program brindle brindle-cli)
    file(CREATE_LINK ${brindle_link_target}/${program} ${brindle_links}/${program} SYMBOLIC)
    install(FILES ${brindle_links}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# The menu entry, what software centres show, and the icon at each size drawn.
install(FILES ${brindle_resources}/brindle.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${brindle_resources}/io.github.brindle.Brindle.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(icon brindle:32 brindle-48:48 brindle-128:128 brindle-256:256)
    string(REPLACE ":" ";" icon ${icon})
    list(GET icon 0 file)
    list(GET icon 1 size)
    install(FILES ${brindle_resources}/icons/${file}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME brindle.png)
endforeach()

# Manual pages, with the version filled in and compressed as Debian wants them.
set(brindle_man_pages)
foreach(page brindle.1 brindle-cli.1)
    configure_file(${brindle_resources}/man/${page}.in ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
        COMMAND gzip -9nkf ${page}
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/man
        DEPENDS ${PROJECT_BINARY_DIR}/man/${page}
        VERBATIM)
    list(APPEND brindle_man_pages ${PROJECT_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(brindle_man_pages ALL DEPENDS ${brindle_man_pages})
install(FILES ${brindle_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package (scripts/package): the libraries' packages worked out
# from the binaries by dpkg-shlibdeps, the ODBC driver manager on top; the
# SQLite driver so that the sample data source works, a Japanese font and
# Qt's own Japanese texts as recommendations.
set(BRINDLE_PACKAGE_MAINTAINER "Brindle maintainers <maintainers@brindle.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${BRINDLE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SQL query tool for ODBC data sources, in Japanese")
set(CPACK_PACKAGE_DESCRIPTION [=[Brindle is a desktop SQL query tool with a Japanese interface. It reaches
any database through an ODBC data source (unixODBC). Its editor colours
keywords and comments as you type, by a keyword table you can edit; it runs
the selection or the whole text as batches split at GO lines, shows every
result in a grid, re-formats queries, and exports results to a spreadsheet.
Every query document and every batch run are kept, so nothing typed is lost.
brindle-cli does the same without a display.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "unixodbc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libsqliteodbc, fonts-ipafont-gothic | fonts-japanese-gothic, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
