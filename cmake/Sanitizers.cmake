# One switch for the whole tree: the sanitizer build must instrument every
# object, the generated loader included, or ASan reports false overflows.
if(GLOAMERY_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
