# The in-place editors' string table and hand cursor (editors_classic/EditorsClassic.rc). A
# resource-only object would be dropped from the static library, so the
# script goes into each program that runs the editors.
set(TVK_EDITORS_CLASSIC_RC ${CMAKE_SOURCE_DIR}/editors_classic/EditorsClassic.rc)

function(tvk_use_editors_classic_resources target)
  target_sources(${target} PRIVATE ${TVK_EDITORS_CLASSIC_RC})
  set_source_files_properties(${TVK_EDITORS_CLASSIC_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/editors_classic/EditorsClassicResources.h;${TVK_CURSOR_DIR}/cursors.stamp"
    INCLUDE_DIRECTORIES "${CMAKE_SOURCE_DIR}/editors_classic;${TVK_CURSOR_DIR}")
  # The hand cursor is drawn with the look-and-feel library's cursors.
  add_dependencies(${target} tvk_cursors)
endfunction()
