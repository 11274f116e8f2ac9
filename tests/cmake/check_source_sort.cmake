# Run with cmake -P: the sorting of sources into the plain and the window
# library looks only at the path inside the source folder.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/VekSourceSort.cmake)

function(expect root file wanted)
  vek_is_window_source(got "${root}" "${file}")
  if(NOT got STREQUAL wanted)
    message(FATAL_ERROR "${file} under ${root}: window source ${got}, expected ${wanted}")
  endif()
endfunction()

expect(/home/ui/vek/src /home/ui/vek/src/app/CurveModel.cpp FALSE)
expect(/srv/ui/src /srv/ui/src/base/NumberHelpers.h FALSE)
expect(/home/ui/vek/src /home/ui/vek/src/app/ui/VEK_Accueil.cpp TRUE)
expect(/work/vek/src /work/vek/src/live/ui/LivePage.cpp TRUE)
expect(/work/vek/src /work/vek/src/app/CurveModel.cpp FALSE)
expect(/work/vek/tests /work/vek/tests/app/ui/tst_ui_print.cpp TRUE)
expect(/work/ui/tests /work/ui/tests/app/tst_curvemodel.cpp FALSE)
