# korvela_copy_assets(<target>)
# Copies the texts that ship with the program (assets/*.rtf: the help and the messages; the
# English ones from assets/en/ into en/) beside the target's executable after every build, so
# the program finds them in its own folder. The sources under assets/source are not copied.
function(korvela_copy_assets target)
  file(GLOB assets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/*.rtf)
  if(NOT assets)
    return()
  endif()
  file(GLOB assets_en CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/en/*.rtf)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${assets} $<TARGET_FILE_DIR:${target}>
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/en
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${assets_en} $<TARGET_FILE_DIR:${target}>/en
    COMMENT "Copying the help and messages texts beside ${target}"
    VERBATIM)
endfunction()
