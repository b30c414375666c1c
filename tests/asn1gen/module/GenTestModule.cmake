# asn1gen's own test module (GenTest-Base and GenTest-Messages), generated
# through asn1gen_generate like the catalogue into a library of its own, which
# the tests of the generated layer (tests/asn1gen/test_generated_*.cpp) and of
# the engine (tests/engine/test_*.cpp) link. Engine tests over the catalogue's
# types, tests/engine/test_catalogue_*.cpp, do not: both are namespace asn1data.
add_library(asn1gen_gentest STATIC)
asn1gen_generate(asn1gen_gentest UMBRELLA gentest.h
  ${CMAKE_CURRENT_LIST_DIR}/GenTest_Base.asn
  ${CMAKE_CURRENT_LIST_DIR}/GenTest_Messages.asn)
target_link_libraries(asn1gen_gentest PUBLIC blobxml)

get_filename_component(tests_dir ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
file(GLOB ASN1GEN_MODULE_TESTS CONFIGURE_DEPENDS
  ${tests_dir}/asn1gen/test_generated_*.cpp ${tests_dir}/engine/test_*.cpp)
list(FILTER ASN1GEN_MODULE_TESTS EXCLUDE REGEX "/test_catalogue_[^/]*$")
foreach(src IN LISTS ASN1GEN_MODULE_TESTS)
  get_filename_component(name ${src} NAME_WE)
  get_filename_component(area_dir ${src} DIRECTORY)
  get_filename_component(area ${area_dir} NAME)
  target_link_libraries(${area}_${name} PRIVATE asn1gen_gentest)
endforeach()
