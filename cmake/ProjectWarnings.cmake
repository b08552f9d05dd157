# Warnings are errors on the project's own code only; third-party headers come in as SYSTEM.
function(orvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
