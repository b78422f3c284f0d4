# Common settings for every Brindle target.
function(brindle_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII
        QT_NO_CAST_TO_ASCII
        QT_NO_FOREACH
        QT_USE_QSTRINGBUILDER
        QT_DISABLE_DEPRECATED_BEFORE=0x060000)
    if(NOT BRINDLE_SANITIZE AND NOT BRINDLE_TSAN AND NOT BRINDLE_FUZZ)
        target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
endfunction()

# A logic library: QtCore only. Fails the configure step when it links widgets,
# so the layering stays true without anyone watching it.
function(brindle_logic_library target)
    add_library(${target} STATIC ${ARGN})
    brindle_defaults(${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core)
    cmake_language(EVAL CODE "cmake_language(DEFER CALL brindle_check_no_widgets [[${target}]])")
endfunction()

function(brindle_check_no_widgets target)
    get_target_property(libs ${target} LINK_LIBRARIES)
    foreach(lib IN LISTS libs)
        if(lib MATCHES "Widgets|Qt6::Gui")
            message(FATAL_ERROR "${target} is a logic library and must not link ${lib}")
        endif()
        if(TARGET ${lib} AND lib MATCHES "^brindle_")
            get_target_property(kind ${lib} BRINDLE_KIND)
            if(kind STREQUAL "widgets")
                message(FATAL_ERROR "${target} is a logic library and must not link ${lib}")
            endif()
        endif()
    endforeach()
endfunction()

function(brindle_widget_library target)
    add_library(${target} STATIC ${ARGN})
    brindle_defaults(${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Widgets)
    set_target_properties(${target} PROPERTIES BRINDLE_KIND widgets)
endfunction()
