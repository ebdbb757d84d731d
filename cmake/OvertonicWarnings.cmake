# High, clean warnings for every target of ours. Each suppression says why.
function(overtonic_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
    -Wmisleading-indentation -Wduplicated-cond -Wlogical-op
    -Werror=return-type)
endfunction()
