# Where `cmake --install` puts the program on a Debian system (GNUInstallDirs), and the .deb
# CPack makes of it: `cmake --preset release && cmake --build --preset release &&
# (cd build/release && cpack)`.
include(GNUInstallDirs)

# The engine is the programs' own library, not one for others to link: it goes to a private
# folder, which the programs that load it name in their RUNPATH, relative to themselves so the
# tree works under any prefix (CPack installs under /usr whatever the build was set up for).
# On a multiarch system it is the architecture's folder, as Debian keeps private libraries.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(MV_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/mirravelnock)
else()
  set(MV_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/mirravelnock)
endif()
file(RELATIVE_PATH mv_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${MV_PRIVATE_LIBDIR})
set_target_properties(mirravelnock mvcrypt PROPERTIES INSTALL_RPATH "\$ORIGIN/${mv_bin_to_lib}")
install(TARGETS mirravelnock mvcrypt mvconvert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS mvengine LIBRARY DESTINATION ${MV_PRIVATE_LIBDIR})
# The launch helper of the Secured Access List is the program's own, not a command for users.
install(TARGETS mvlaunch RUNTIME DESTINATION ${MV_PRIVATE_LIBDIR})
target_compile_definitions(mvsecured PRIVATE MV_INSTALLED_HELPER_DIR="${mv_bin_to_lib}")
# So is the decoder helper, which the program and mvconvert start.
install(TARGETS mvdecode RUNTIME DESTINATION ${MV_PRIVATE_LIBDIR})
target_compile_definitions(mvsandbox PRIVATE MV_INSTALLED_HELPER_DIR="${mv_bin_to_lib}")

set(data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${data}/mirravelnock.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/mirravelnock.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${data}/mirravelnock.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME com.example.mirravelnock.metainfo.xml)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${data}/icons/hicolor/${size}x${size}/apps/mirravelnock.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${data}/icons/hicolor/scalable/apps/mirravelnock.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog go compressed, as Debian keeps them; -n keeps the build
# reproducible.
set(packed)
foreach(source man/mirravelnock.1 man/mvcrypt.1 man/mvconvert.1 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(out ${CMAKE_BINARY_DIR}/packed/${name}.gz)
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packed
                     COMMAND gzip -9nc ${data}/${source} > ${out}
                     DEPENDS ${data}/${source} VERBATIM)
  list(APPEND packed ${out})
endforeach()
add_custom_target(mv_packed_docs ALL DEPENDS ${packed})
install(FILES ${CMAKE_BINARY_DIR}/packed/mirravelnock.1.gz ${CMAKE_BINARY_DIR}/packed/mvcrypt.1.gz
              ${CMAKE_BINARY_DIR}/packed/mvconvert.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(MV_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/mirravelnock)
install(FILES ${data}/debian/copyright DESTINATION ${MV_DOCDIR})
install(FILES ${CMAKE_BINARY_DIR}/packed/changelog.gz DESTINATION ${MV_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirravelnock)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Mirravelnock developers <mirravelnock@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture viewer and file browser with file encryption")
# The summary above comes first; CPack folds these paragraphs into the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Mirravelnock! joins a file browser and picture viewer to file encryption: it
shows pictures of some two dozen raster and vector formats, encrypted ones
included without decrypting them on disk, and encrypts or decrypts files,
folders and folder trees with a key.

The package also holds mvcrypt, which encrypts, decrypts, checksums and wipes
files from the command line, and mvconvert, which decodes a picture as the
viewer does and writes it as PNG.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/mirravelnock/)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/src/engine)
# Without qt6-wayland a Wayland session would run the program through XWayland, silently;
# Qt's own German (or other) texts for the standard buttons come with qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, shared-mime-info, desktop-file-utils")
# Files are root's, whatever the builder's umask was.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
