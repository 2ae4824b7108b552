# quorvel_embed_sheets(OUT HEADER NAMESPACE): OUT names a C++ source, made at build time, holding the two sprite
# sheets from assets/ as kCyanSheetBmp and kGreenSheetBmp in NAMESPACE, declared by HEADER.
function(quorvel_embed_sheets out header namespace)
  set(sheets ${CMAKE_SOURCE_DIR}/assets/sheet_cyan.bmp ${CMAKE_SOURCE_DIR}/assets/sheet_green.bmp)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/embedded_sheets.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${source} -DHEADER=${header} -DNAMESPACE=${namespace}
      "-DNAMES=kCyanSheetBmp$<SEMICOLON>kGreenSheetBmp" "-DFILES=$<JOIN:${sheets},$<SEMICOLON>>"
      -P ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${sheets} ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake VERBATIM)
  set(${out} ${source} PARENT_SCOPE)
endfunction()
