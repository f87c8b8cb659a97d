# The warnings and flags of every library and executable of the project: each links
# zonara_warnings privately. Warnings become errors with -DCMAKE_COMPILE_WARNING_AS_ERROR=ON, as
# CI and the scripts build; a user's plain build keeps them warnings, so a newer compiler with new
# warnings still builds the program.
add_library(zonara_warnings INTERFACE)
target_compile_options(zonara_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                 -Wold-style-cast -Wcast-align -Woverloaded-virtual)
