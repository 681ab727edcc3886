# The editors' string table, named by lookandfeel_editors/LookAndFeelEditors.rc.
# Like every resource-only object it would be dropped from a static library, so
# it goes into each program that needs it.
set(TVK_LOOKANDFEEL_EDITORS_RC ${CMAKE_SOURCE_DIR}/lookandfeel_editors/LookAndFeelEditors.rc)

function(tvk_use_lookandfeel_editors_resources target)
  target_sources(${target} PRIVATE ${TVK_LOOKANDFEEL_EDITORS_RC})
  # Source properties belong to the directory of the target that compiles the script.
  set_source_files_properties(${TVK_LOOKANDFEEL_EDITORS_RC} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/lookandfeel_editors/LookAndFeelEditorsResources.h"
    INCLUDE_DIRECTORIES "${CMAKE_SOURCE_DIR}/lookandfeel_editors")
endfunction()
