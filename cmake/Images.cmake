# The shared image list's pictures: drawn at build time by tools/gen_images.py
# into a bitmap and a resource script. A resource-only object in a static
# library would be dropped by the linker, so the script is compiled into the
# module and into every test program directly (TVK_IMAGES_RC).
set(TVK_IMAGES_DIR ${CMAKE_BINARY_DIR}/generated/images)
set(TVK_IMAGES_RC ${TVK_IMAGES_DIR}/MainImages.rc)
add_custom_command(
  OUTPUT ${TVK_IMAGES_RC} ${TVK_IMAGES_DIR}/MainImages.bmp
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_images.py ${TVK_IMAGES_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_images.py
  COMMENT "Drawing the shared image list's pictures"
  VERBATIM)
add_custom_target(tvk_images DEPENDS ${TVK_IMAGES_RC} ${TVK_IMAGES_DIR}/MainImages.bmp)
set_source_files_properties(${TVK_IMAGES_RC} PROPERTIES GENERATED TRUE OBJECT_DEPENDS ${TVK_IMAGES_DIR}/MainImages.bmp)

# Adds the pictures to Target.
function(tvk_link_images target)
  target_sources(${target} PRIVATE ${TVK_IMAGES_RC})
  add_dependencies(${target} tvk_images)
endfunction()
