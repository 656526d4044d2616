# The core knows no GUI: no file of the core folders may include a wx GUI header.
# Checked when the build is configured (and again by the ctest below).
function(quill_check_core_is_gui_free dirs)
  foreach(dir ${dirs})
    file(GLOB_RECURSE files ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    foreach(f ${files})
      file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]wx/")
      if(hits)
        message(FATAL_ERROR "${f} includes a wx header; only gui/ may: ${hits}")
      endif()
    endforeach()
  endforeach()
endfunction()
