# The styled controls' skins: drawn at build time by tools/gen_skins.py into
# BMP files and alpha-image data, named by one resource script that windres
# compiles into every program that draws skins (tvk_use_skins).
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TVK_SKIN_DIR ${CMAKE_BINARY_DIR}/generated/skins)
set(TVK_SKIN_RC ${TVK_SKIN_DIR}/Skins.rc)
add_custom_command(
  OUTPUT ${TVK_SKIN_RC}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_skins.py ${TVK_SKIN_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_skins.py ${CMAKE_SOURCE_DIR}/tools/skins_instruments.py
          ${CMAKE_SOURCE_DIR}/tools/skins_edit.py ${CMAKE_SOURCE_DIR}/tools/skins_lists.py
  COMMENT "Drawing the styled controls' skins"
  VERBATIM)
add_custom_target(tvk_skins DEPENDS ${TVK_SKIN_RC})

function(tvk_use_skins target)
  target_sources(${target} PRIVATE ${TVK_SKIN_RC})
  add_dependencies(${target} tvk_skins)
endfunction()
