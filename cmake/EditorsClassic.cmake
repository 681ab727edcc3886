# The in-place editors' resources (editors_classic/EditorsClassic.rc): the
# string table, the hand cursor and the glyphs that tools/gen_editor_glyphs.py draws. A
# resource-only object would be dropped from the static library, so the
# script goes into each program that runs the editors.
set(TVK_EDITORS_CLASSIC_RC ${CMAKE_SOURCE_DIR}/editors_classic/EditorsClassic.rc)
set(TVK_EDITOR_GLYPH_DIR ${CMAKE_BINARY_DIR}/generated/editorglyphs)
add_custom_command(
  OUTPUT ${TVK_EDITOR_GLYPH_DIR}/glyphs.stamp
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_editor_glyphs.py ${TVK_EDITOR_GLYPH_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${TVK_EDITOR_GLYPH_DIR}/glyphs.stamp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_editor_glyphs.py
  COMMENT "Drawing the in-place editors' glyphs"
  VERBATIM)
add_custom_target(tvk_editor_glyphs DEPENDS ${TVK_EDITOR_GLYPH_DIR}/glyphs.stamp)

function(tvk_use_editors_classic_resources target)
  target_sources(${target} PRIVATE ${TVK_EDITORS_CLASSIC_RC})
  add_dependencies(${target} tvk_editor_glyphs)
  set_source_files_properties(${TVK_EDITORS_CLASSIC_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${TVK_EDITOR_GLYPH_DIR}/glyphs.stamp;${CMAKE_SOURCE_DIR}/editors_classic/EditorsClassicResources.h;${TVK_CURSOR_DIR}/cursors.stamp"
    INCLUDE_DIRECTORIES "${TVK_EDITOR_GLYPH_DIR};${CMAKE_SOURCE_DIR}/editors_classic;${TVK_CURSOR_DIR}")
  # The hand cursor is drawn with the look-and-feel library's cursors.
  add_dependencies(${target} tvk_cursors)
endfunction()

# The tree list's resources (treelist/TreeList.rc: strings, indicator glyphs,
# cursors), linked like the editors'.
set(TVK_TREELIST_RC ${CMAKE_SOURCE_DIR}/treelist/TreeList.rc)
function(tvk_use_treelist_resources target)
  target_sources(${target} PRIVATE ${TVK_TREELIST_RC})
  set_source_files_properties(${TVK_TREELIST_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/treelist/TreeListResources.h;${TVK_CURSOR_DIR}/cursors.stamp;${TVK_INDICATOR_DIR}/indicators.stamp"
    INCLUDE_DIRECTORIES "${CMAKE_SOURCE_DIR}/treelist;${TVK_CURSOR_DIR};${TVK_INDICATOR_DIR}")
  # The glyphs and cursors are drawn with the look-and-feel library's.
  add_dependencies(${target} tvk_cursors)
endfunction()
