# The library as others use it: shared libraries with a SONAME, their public
# headers, a CMake package and a pkg-config file.

# Each 0.x version may change the interface, so the SONAME carries the minor
# number too (libpelmora-plot.so.0.1).
set(PELMORA_SOVERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")

# pelmora_library(<target> <ExportName> [SOURCES files...] [HEADERS files...]
#                 [PUBLIC deps...] [PRIVATE deps...]):
# a shared library libpelmora-<exportname> of the given sources (default:
# every .cpp in the calling folder), installed and exported as
# Pelmora::<ExportName>. HEADERS are what a user includes; they install
# under include/pelmora/ by their path in the source tree, so an include
# reads the same inside the tree and against the installed package.
function(pelmora_library target export_name)
  cmake_parse_arguments(arg "" "" "SOURCES;HEADERS;PUBLIC;PRIVATE" ${ARGN})
  if(NOT arg_SOURCES)
    file(GLOB arg_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  string(TOLOWER ${export_name} lower)
  add_library(${target} SHARED ${arg_SOURCES})
  add_library(Pelmora::${export_name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME pelmora-${lower}
    EXPORT_NAME ${export_name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PELMORA_SOVERSION}
    # The libraries find each other beside themselves.
    INSTALL_RPATH "$ORIGIN")
  # Calls between functions of one library may be inlined as in a static one.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  endif()
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/pelmora>)
  if(arg_HEADERS)
    target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES ${arg_HEADERS})
    list(TRANSFORM arg_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    set_property(GLOBAL APPEND PROPERTY PELMORA_HEADERS ${arg_HEADERS})
  endif()
  target_link_libraries(${target} PUBLIC ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  set_property(GLOBAL APPEND PROPERTY PELMORA_EXPORTED ${target})
endfunction()

# pelmora_group(<target> <ExportName> members...): an interface target that
# stands for several libraries, exported as Pelmora::<ExportName>.
function(pelmora_group target export_name)
  add_library(${target} INTERFACE)
  add_library(Pelmora::${export_name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
  target_link_libraries(${target} INTERFACE ${ARGN})
  set_property(GLOBAL APPEND PROPERTY PELMORA_EXPORTED ${target})
endfunction()

# Installs what pelmora_library and pelmora_group made, with the package
# files; called once every target exists.
function(pelmora_install)
  get_property(targets GLOBAL PROPERTY PELMORA_EXPORTED)
  install(TARGETS ${targets} EXPORT PelmoraTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pelmora COMPONENT dev)

  set(cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/Pelmora)
  install(EXPORT PelmoraTargets NAMESPACE Pelmora:: DESTINATION ${cmakedir} COMPONENT dev)
  include(CMakePackageConfigHelpers)
  set(PELMORA_COMPONENTS "")
  foreach(t ${targets})
    get_target_property(name ${t} EXPORT_NAME)
    list(APPEND PELMORA_COMPONENTS ${name})
  endforeach()
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PelmoraConfig.cmake.in
    ${PROJECT_BINARY_DIR}/PelmoraConfig.cmake INSTALL_DESTINATION ${cmakedir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/PelmoraConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/PelmoraConfig.cmake ${PROJECT_BINARY_DIR}/PelmoraConfigVersion.cmake
    DESTINATION ${cmakedir} COMPONENT dev)

  # The .pc file names its prefix relative to itself, so it holds wherever
  # `cmake --install --prefix` puts it.
  set(pcdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  file(RELATIVE_PATH PELMORA_PC_PREFIX /root/${pcdir} /root)
  string(REGEX REPLACE "/$" "" PELMORA_PC_PREFIX "${PELMORA_PC_PREFIX}")
  set(PELMORA_PC_LIBS "")
  set(reversed ${targets})
  list(REVERSE reversed)
  foreach(t ${reversed})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      get_target_property(name ${t} OUTPUT_NAME)
      string(APPEND PELMORA_PC_LIBS " -l${name}")
    endif()
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/pelmora.pc.in ${PROJECT_BINARY_DIR}/pelmora.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pelmora.pc DESTINATION ${pcdir} COMPONENT dev)
endfunction()

# `docs`: the API reference of the installed headers, with docs/USING.md as
# its first page, in <build>/docs/html. Doxygen's warnings go to
# <build>/docs/warnings.txt; the target tells how many there are.
function(pelmora_docs)
  find_package(Doxygen QUIET)
  if(NOT DOXYGEN_FOUND)
    add_custom_target(docs COMMAND ${CMAKE_COMMAND} -E echo "Install the package doxygen to make the reference."
      COMMAND ${CMAKE_COMMAND} -E false)
    return()
  endif()
  get_property(headers GLOBAL PROPERTY PELMORA_HEADERS)
  list(JOIN headers " " PELMORA_DOC_INPUT)
  string(PREPEND PELMORA_DOC_INPUT "${PROJECT_SOURCE_DIR}/docs/USING.md ")
  configure_file(${PROJECT_SOURCE_DIR}/docs/reference/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/docs
    COMMAND Doxygen::doxygen ${PROJECT_BINARY_DIR}/Doxyfile
    COMMAND sh -c "echo \"$(wc -l < docs/warnings.txt) warnings in docs/warnings.txt\""
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "API reference in ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endfunction()
