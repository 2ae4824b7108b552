# Writes a C++ source holding files as byte arrays, so that a program carries them inside itself.
# Run as: cmake -DOUTPUT=<file.cpp> -DHEADER=<header to include> -DNAMESPACE=<ns> -DNAMES=<n1;n2> -DFILES=<f1;f2>
#   -P embed_files.cmake
# Each name becomes `extern const std::span<const uint8_t> <name>`, which the header declares.
set(text "// Generated at build time by cmake/embed_files.cmake from the files named below; not to be edited.\n")
string(APPEND text "#include \"${HEADER}\"\n\nnamespace ${NAMESPACE} {\nnamespace {\n")
set(spans "")
foreach(name file IN ZIP_LISTS NAMES FILES)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
         bytes "${bytes}")
  get_filename_component(base "${file}" NAME)
  string(APPEND text "// ${base}\nconst uint8_t ${name}Bytes[] = {\n${bytes}\n};\n")
  string(APPEND spans "const std::span<const uint8_t> ${name}(${name}Bytes);\n")
endforeach()
string(APPEND text "}  // namespace\n\n${spans}\n}  // namespace ${NAMESPACE}\n")
# Rewritten only when it changes, so an unchanged picture does not rebuild the program.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
