# korvela_library(NAME <target> DEPS <targets...> [LIBS <external libs...>])
# Builds every .cpp of the calling folder (not its subfolders) into one static library.
# Each folder of src/ is one layer; DEPS names only the layers it may use.
function(korvela_library)
  cmake_parse_arguments(K "" "NAME" "DEPS;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # A layer that has no code yet still exists, so the layers above can name it.
    add_library(${K_NAME} INTERFACE)
    target_include_directories(${K_NAME} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${K_NAME} INTERFACE ${K_DEPS})
    return()
  endif()
  add_library(${K_NAME} STATIC ${sources} ${headers})
  target_include_directories(${K_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${K_NAME} PUBLIC ${K_DEPS} PRIVATE ${K_LIBS})
endfunction()

# korvela_test(NAME <exe> DIR <folder under tests/> DEPS <targets...>)
# One GoogleTest executable per layer, registered test by test with CTest.
function(korvela_test)
  cmake_parse_arguments(K "" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${K_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${K_NAME} ${sources})
  target_link_libraries(${K_NAME} PRIVATE ${K_DEPS} korvela_testsupport GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${K_NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "KORVELA_TESTDATA=${KORVELA_TESTDATA_DIR}")
endfunction()
