# Warnings on for every target of the tree; errors when SETUP_WERROR is set.
add_compile_options(-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wformat=2 -Wundef)
if(SETUP_WERROR)
  add_compile_options(-Werror)
endif()
