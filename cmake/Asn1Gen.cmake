# asn1gen_generate(<target> [UMBRELLA <header>] <file.asn>...)
#
# Runs the ASN.1 compiler asn1gen at build time over the module files and
# adds the C++ units it writes to <target>. A file <Unit>.asn holds the module
# whose C++ unit is <Unit> (its name with '-' turned into '_') and gives
# <Unit>.h, <Unit>.cpp, <Unit>Copy.cpp, <Unit>Table.h and <Unit>Table.cpp, so
# every output is known from the file names when CMake configures. UMBRELLA
# adds a header of that name that includes every generated header.
#
# The units go to ${CMAKE_CURRENT_BINARY_DIR}/asn1gen/<target>, which becomes a
# public include directory of <target>; they are never written into the
# source tree. They are generated again whenever a module file or any source
# file of asn1gen changes. A fault in a module fails the build with asn1gen's
# "file:line:column: message" lines.
#
# The list of generated headers is left in <target>_ASN1GEN_HEADERS in the
# caller's scope, for installing them.

set(ASN1GEN_DIR ${CMAKE_CURRENT_LIST_DIR}/../asn1gen)
get_filename_component(ASN1GEN_DIR ${ASN1GEN_DIR} ABSOLUTE)

function(asn1gen_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "UMBRELLA" "")
  if(NOT ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "asn1gen_generate(${target}): no module files")
  endif()
  if(NOT Python3_EXECUTABLE)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
  endif()

  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/asn1gen/${target})
  set(modules)
  set(headers)
  set(sources)
  foreach(file IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(file ${file} ABSOLUTE)
    get_filename_component(unit ${file} NAME_WLE)
    list(APPEND modules ${file})
    list(APPEND headers ${out_dir}/${unit}.h ${out_dir}/${unit}Table.h)
    list(APPEND sources ${out_dir}/${unit}.cpp ${out_dir}/${unit}Copy.cpp
      ${out_dir}/${unit}Table.cpp)
  endforeach()
  set(umbrella)
  if(ARG_UMBRELLA)
    list(APPEND headers ${out_dir}/${ARG_UMBRELLA})
    set(umbrella --umbrella ${ARG_UMBRELLA})
  endif()

  file(GLOB_RECURSE generator CONFIGURE_DEPENDS ${ASN1GEN_DIR}/*.py)
  add_custom_command(
    OUTPUT ${headers} ${sources}
    COMMAND ${Python3_EXECUTABLE} -B ${ASN1GEN_DIR}/asn1gen.py --out ${out_dir}
      ${umbrella} ${modules}
    DEPENDS ${modules} ${generator}
    COMMENT "asn1gen: generating C++ for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${sources} ${headers})
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${out_dir}>)
  set(${target}_ASN1GEN_HEADERS ${headers} PARENT_SCOPE)
endfunction()
