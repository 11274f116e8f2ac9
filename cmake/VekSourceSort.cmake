# Which library a source belongs to: files under a ui/ folder are windows.
# The path is taken relative to `root`, so that folders above the checkout
# (a home folder named "ui", say) never count.
function(vek_is_window_source out root file)
  file(RELATIVE_PATH rel "${root}" "${file}")
  if(rel MATCHES "(^|/)ui/")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()
