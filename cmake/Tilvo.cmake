# tilvo_library(<target> [PUBLIC deps...]): a library of every .cpp in the
# calling folder; an interface library while the folder has none.
function(tilvo_library target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()

# tilvo_test(<target> <folder> [QT] deps...): one GoogleTest program of every
# .cpp in the folder, discovered by CTest. QT programs start the application
# object on the offscreen platform first.
function(tilvo_test target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(deps ${ARGN})
  if("QT" IN_LIST deps)
    list(REMOVE_ITEM deps QT)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    set(main tk_controls)
  else()
    set(main GTest::gtest_main)
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${deps} ${main} GTest::gtest)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TILVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
