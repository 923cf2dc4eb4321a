# The page scripts become a table of texts in the plot library, in the page's load order.
# jQuery is Debian's (libjs-jquery); every other file comes from js/ beside this file.
set(SPIRO_JQUERY /usr/share/javascript/jquery/jquery.js CACHE FILEPATH "jQuery served with the plot page")
if(NOT EXISTS ${SPIRO_JQUERY})
  message(FATAL_ERROR "jQuery not found at ${SPIRO_JQUERY} (Debian package libjs-jquery)")
endif()

set(plot_script_names
  canvas_layer.js event_dispatcher.js utility.js fractal.js remote.js histogram.js tplot.js types.js
  legend.js pix_data.js box.js scaling.js text_layer.js text_region.js vlines.js drag_scroller.js
  zoom.js plot.js jquery.js main.js ellipse.js check_props.js cursor.js draw.js
  graticule.js svg_layer.js button.js setup.js drag_scale.js styles.js bar.js scatter.js)
set(plot_script_args "")
set(plot_script_files "")
foreach(name IN LISTS plot_script_names)
  if(name STREQUAL "jquery.js")
    set(path ${SPIRO_JQUERY})
  else()
    set(path ${CMAKE_CURRENT_LIST_DIR}/js/${name})
  endif()
  list(APPEND plot_script_args ${name}=${path})
  list(APPEND plot_script_files ${path})
endforeach()

add_executable(script_table_gen ${CMAKE_CURRENT_LIST_DIR}/gen/ScriptTableGen.cpp)
target_include_directories(script_table_gen PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
# Made at configure time: only Ninja creates an output's folder by itself.
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/plot)
set(plot_script_table ${CMAKE_CURRENT_BINARY_DIR}/plot/ScriptFileTable.cpp)
add_custom_command(OUTPUT ${plot_script_table}
  COMMAND script_table_gen ${plot_script_table} ${plot_script_args}
  DEPENDS script_table_gen ${plot_script_files}
  COMMENT "Generating the page-script table"
  VERBATIM)
target_sources(plot PRIVATE ${plot_script_table})
