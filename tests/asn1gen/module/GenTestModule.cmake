# asn1gen's own test module (GenTest-Base and GenTest-Messages), generated
# through asn1gen_generate like the catalogue into a library of its own, which
# the tests of the generated layer, tests/asn1gen/test_generated_*.cpp, link.
add_library(asn1gen_gentest STATIC)
asn1gen_generate(asn1gen_gentest UMBRELLA gentest.h
  ${CMAKE_CURRENT_LIST_DIR}/GenTest_Base.asn
  ${CMAKE_CURRENT_LIST_DIR}/GenTest_Messages.asn)
target_link_libraries(asn1gen_gentest PUBLIC blobxml)

file(GLOB ASN1GEN_GENERATED_TESTS CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/../test_generated_*.cpp)
foreach(src IN LISTS ASN1GEN_GENERATED_TESTS)
  get_filename_component(name ${src} NAME_WE)
  target_link_libraries(asn1gen_${name} PRIVATE asn1gen_gentest)
endforeach()
