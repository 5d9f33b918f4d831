# Debian packages of the library (`make package`): the shared libraries, the
# files to build against them, and the Designer plugin. The programs are not
# packaged.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tilvo")
set(CPACK_PACKAGE_CONTACT "Tilvo developers <tilvo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pelmora drawing components for Qt 6 Widgets")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev designer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)

set(runtime libpelmora${PELMORA_SOVERSION})
set(exact "${runtime} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${runtime})
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Pelmora drawing components for Qt 6 Widgets\n Raster image, image panel, plotting canvas with zoom and pan, colour\n scale and disk information, with the toolkit they are drawn with.")
# The libraries' own dependencies (Qt, FreeType, libjpeg...) as
# dpkg-shlibdeps finds them; other packages depend on these libraries
# through the shlibs file.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libpelmora-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${exact}, qt6-base-dev, qt6-svg-dev, qt6-tools-dev")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Pelmora drawing components: development files\n Headers, CMake package (find_package(Pelmora)) and pkg-config file.")

set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME pelmora-designer-plugin)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_DEPENDS "${exact}")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_RECOMMENDS "qt6-tools-dev-tools")
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION
  "Pelmora drawing components: Qt Designer plugin\n Puts the components on the page Pelmora of Designer's widget box.")

# dpkg-shlibdeps looks for our own libraries in the build tree.
get_property(pelmora_targets GLOBAL PROPERTY PELMORA_EXPORTED)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "")
foreach(t ${pelmora_targets})
  get_target_property(type ${t} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    get_target_property(dir ${t} BINARY_DIR)
    list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${dir})
  endif()
endforeach()

include(CPack)
