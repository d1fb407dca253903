# Include paths by target. No include path spans the source tree: each
# library publishes its own folder under an include root of its own (a
# symbolic link in the build tree), so "engine/base/str.h" works for code
# that links quellmoor_base and nothing of another folder comes along
# unless its library is linked too.

# Makes <root>/<folder> a link to the source folder.
function(qm_link_folder root folder)
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
endfunction()

# qm_public_headers(target folder): code linking `target` includes the
# headers of `folder` (relative to the source root) as "<folder>/name.h".
function(qm_public_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  qm_link_folder(${root} ${folder})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# qm_private_headers(target folder): the same for `target`'s own sources only
# (tests and benchmarks reading helpers of the test folders).
function(qm_private_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/private/${folder})
  qm_link_folder(${root} ${folder})
  target_include_directories(${target} PRIVATE ${root})
endfunction()
