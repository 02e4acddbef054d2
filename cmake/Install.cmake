# The catalogues of the user-interface languages, the files a Linux desktop expects of an
# installed program, and the Debian package. Included at the end of the top-level list, when
# the korvela executable and the demo content generator exist.
include(GNUInstallDirs)

set(KORVELA_APP_ID org.korvela.Korvela)
target_compile_definitions(korvela PRIVATE KORVELA_VERSION="${PROJECT_VERSION}")
set(korvela_program_dir $<TARGET_FILE_DIR:korvela>)

# --- Translations: po/<language>.po → <program folder>/locale/<language>/LC_MESSAGES/korvela.mo,
# where the program run from its build folder finds them; installed under share/locale/.
find_program(KORVELA_MSGFMT msgfmt REQUIRED)
file(GLOB korvela_po_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(korvela_mo_files)
get_target_property(korvela_bin_dir korvela BINARY_DIR)
foreach(po ${korvela_po_files})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${korvela_bin_dir}/locale/${language}/LC_MESSAGES/korvela.mo)
  add_custom_command(OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${korvela_bin_dir}/locale/${language}/LC_MESSAGES
    COMMAND ${KORVELA_MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Compiling the ${language} catalogue"
    VERBATIM)
  list(APPEND korvela_mo_files ${mo})
  install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_DATADIR}/locale/${language}/LC_MESSAGES)
endforeach()
add_custom_target(korvela_translations ALL DEPENDS ${korvela_mo_files})
add_dependencies(korvela korvela_translations)

# --- The content installed under share/korvela/: the demo content generator's output, written
# afresh into a folder of its own (the one beside the program is changed by running it), and the
# help and messages texts, each language's own below a folder named after it.
set(korvela_content_dir ${CMAKE_BINARY_DIR}/share-korvela)
set(korvela_content_stamp ${CMAKE_BINARY_DIR}/share-korvela.stamp)
file(GLOB korvela_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/*.rtf)
file(GLOB korvela_texts_en CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/en/*.rtf)
set(korvela_demo_env "")
if(KORVELA_SANITIZE)
  set(korvela_demo_env ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
endif()
add_custom_command(OUTPUT ${korvela_content_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${korvela_content_dir}
  COMMAND ${korvela_demo_env} $<TARGET_FILE:korvela_demo> --out ${korvela_content_dir} --name korvela
  COMMAND ${CMAKE_COMMAND} -E copy ${korvela_texts} ${korvela_content_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${korvela_content_dir}/en
  COMMAND ${CMAKE_COMMAND} -E copy ${korvela_texts_en} ${korvela_content_dir}/en
  COMMAND ${CMAKE_COMMAND} -E touch ${korvela_content_stamp}
  DEPENDS korvela_demo ${korvela_texts} ${korvela_texts_en}
  COMMENT "Writing the content to install"
  VERBATIM)
add_custom_target(korvela_install_content ALL DEPENDS ${korvela_content_stamp})
install(DIRECTORY ${korvela_content_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvela)

# --- Desktop entry, AppStream metadata, icons (PNG drawn from our SVG at each size).
set(korvela_desktop_dir ${PROJECT_SOURCE_DIR}/assets/desktop)
install(FILES ${korvela_desktop_dir}/${KORVELA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${korvela_desktop_dir}/${KORVELA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${korvela_desktop_dir}/${KORVELA_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(KORVELA_RSVG rsvg-convert REQUIRED)
set(korvela_icon_files)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${KORVELA_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${KORVELA_RSVG} -w ${size} -h ${size} -o ${png} ${korvela_desktop_dir}/${KORVELA_APP_ID}.svg
    DEPENDS ${korvela_desktop_dir}/${KORVELA_APP_ID}.svg
    VERBATIM)
  list(APPEND korvela_icon_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(korvela_icons ALL DEPENDS ${korvela_icon_files})

# --- The manual page, made from the program's own --help text.
find_program(KORVELA_HELP2MAN help2man REQUIRED)
set(korvela_man ${CMAKE_BINARY_DIR}/man/korvela.1)
add_custom_command(OUTPUT ${korvela_man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          ${KORVELA_HELP2MAN} --no-info --section=1 --name "model-railway layout builder and train simulator"
          --output=${korvela_man} $<TARGET_FILE:korvela>
  DEPENDS korvela
  COMMENT "Writing the manual page from korvela --help"
  VERBATIM)
add_custom_target(korvela_man ALL DEPENDS ${korvela_man})
install(FILES ${korvela_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(TARGETS korvela RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- Debian package: cpack -G DEB in a build folder.
set(CPACK_PACKAGE_NAME korvela)
set(CPACK_PACKAGE_VENDOR "The KORVELA developers")
set(CPACK_PACKAGE_CONTACT "The KORVELA developers <korvela@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Build a model-railway layout in 3D and run trains on it")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries' packages come from dpkg-shlibdeps; the font, the file opener and the help-text
# viewer's downloads are used at run time only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk, xdg-utils")
include(CPack)
