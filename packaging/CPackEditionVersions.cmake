# Read by cpack. Each edition is released under its own version, but CPack gives every
# component package the one CPACK_DEBIAN_PACKAGE_VERSION. The DEB generator names the
# component it is about to pack in CPACK_DEB_PACKAGE_COMPONENT, so at that moment the
# package version becomes that component's CPACK_DEBIAN_<COMPONENT>_PACKAGE_VERSION.
macro(ostavel_use_component_version variable access value)
    if("${access}" STREQUAL "MODIFIED_ACCESS" AND NOT "${value}" STREQUAL "")
        string(TOUPPER "${value}" _ostavel_component)
        if(NOT DEFINED CPACK_DEBIAN_${_ostavel_component}_PACKAGE_VERSION)
            message(FATAL_ERROR "No package version for component ${value}")
        endif()
        set(CPACK_DEBIAN_PACKAGE_VERSION "${CPACK_DEBIAN_${_ostavel_component}_PACKAGE_VERSION}")
    endif()
endmacro()
variable_watch(CPACK_DEB_PACKAGE_COMPONENT ostavel_use_component_version)
