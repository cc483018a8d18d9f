# The direct ALSA output of a forced ALSA start after OpenAL Soft settled on another back-end.
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::ALSA)
