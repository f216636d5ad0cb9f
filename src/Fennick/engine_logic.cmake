# The engine's rules that need no device (numeric data files, mip counts, row flips, upload
# block sizes, copy selection, dispatch groups): portable, so the sanitizer build tests them.
quavel_library(quavel_engine_logic
    SOURCES image_rows.cpp numeric_data_file.cpp texture_layout.cpp upload_block.cpp
    LIBS quavel_graph)
