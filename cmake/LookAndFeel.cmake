# The look-and-feel library's resources: its cursors, drawn at build time by
# tools/gen_cursors.py, the grid indicator glyphs and its string table, both named by
# lookandfeel/LookAndFeel.rc. Like every resource-only object it would be
# dropped from a static library, so it goes into each program that needs it.
set(TVK_CURSOR_DIR ${CMAKE_BINARY_DIR}/generated/cursors)
set(TVK_LOOKANDFEEL_RC ${CMAKE_SOURCE_DIR}/lookandfeel/LookAndFeel.rc)
add_custom_command(
  OUTPUT ${TVK_CURSOR_DIR}/cursors.stamp
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_cursors.py ${TVK_CURSOR_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${TVK_CURSOR_DIR}/cursors.stamp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_cursors.py
  COMMENT "Drawing the look-and-feel library's cursors"
  VERBATIM)
# The grid indicator glyphs, drawn by tools/gen_indicators.py.
set(TVK_INDICATOR_DIR ${CMAKE_BINARY_DIR}/generated/indicators)
add_custom_command(
  OUTPUT ${TVK_INDICATOR_DIR}/indicators.stamp
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_indicators.py ${TVK_INDICATOR_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${TVK_INDICATOR_DIR}/indicators.stamp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_indicators.py
  COMMENT "Drawing the grid indicator glyphs"
  VERBATIM)
add_custom_target(tvk_cursors DEPENDS ${TVK_CURSOR_DIR}/cursors.stamp ${TVK_INDICATOR_DIR}/indicators.stamp)

function(tvk_use_lookandfeel_resources target)
  target_sources(${target} PRIVATE ${TVK_LOOKANDFEEL_RC})
  # Source properties belong to the directory of the target that compiles the script.
  set_source_files_properties(${TVK_LOOKANDFEEL_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${TVK_CURSOR_DIR}/cursors.stamp;${TVK_INDICATOR_DIR}/indicators.stamp;${CMAKE_SOURCE_DIR}/lookandfeel/LookAndFeelResources.h"
    INCLUDE_DIRECTORIES "${TVK_CURSOR_DIR};${TVK_INDICATOR_DIR};${CMAKE_SOURCE_DIR}/lookandfeel")
  add_dependencies(${target} tvk_cursors)
endfunction()
