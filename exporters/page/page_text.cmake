# The page's HTML and script, embedded in the program when it is built (the
# native build and the playground's both include this file). The script is
# its parts joined in this order; an edit to any file configures again.
function(mirovan_page_text page_dir output)
  set(parts page_scene.js page_shaders.js page.js)
  file(READ ${page_dir}/page.html MIROVAN_PAGE_HTML)
  set(MIROVAN_PAGE_JS "")
  set(watched ${page_dir}/page.html)
  foreach(part ${parts})
    file(READ ${page_dir}/${part} text)
    string(APPEND MIROVAN_PAGE_JS "${text}")
    list(APPEND watched ${page_dir}/${part})
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${watched})
  configure_file(${page_dir}/page_text.cpp.in ${output} @ONLY)
endfunction()
