# The engine as a module for a Web Worker (and for Node.js): quoril.js + quoril.wasm without
# threads, quoril-mt.js + quoril-mt.wasm (+ its pthread worker) with them. Both print one UCI line
# per call of Module.print and take their input through quoril_feed_line.
set(QUORIL_WASM_NAME quoril)
if(QUORIL_WASM_THREADS)
  set(QUORIL_WASM_NAME quoril-mt)
endif()
set_target_properties(quoril PROPERTIES OUTPUT_NAME ${QUORIL_WASM_NAME} SUFFIX ".js")
target_link_options(quoril PRIVATE
  -sMODULARIZE=1 -sEXPORT_NAME=createQuoril -sENVIRONMENT=web,worker,node
  "-sEXPORTED_FUNCTIONS=[_main,_malloc,_free,_quoril_feed_line,_quoril_end_input]"
  "-sEXPORTED_RUNTIME_METHODS=[stringToUTF8,lengthBytesUTF8]"
  # The hash table grows with the Hash option, up to what a 32-bit address space and the browser
  # allow; the search recurses about 1.3 MB deep (src/platform/stack.cpp), given 8 MB here.
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728 -sMAXIMUM_MEMORY=2147483648
  -sTOTAL_STACK=8388608)
if(QUORIL_WASM_THREADS)
  # main runs on a thread of its own, so the worker's thread stays free to hand over the lines.
  target_link_options(quoril PRIVATE -sPROXY_TO_PTHREAD=1 -sDEFAULT_PTHREAD_STACK_SIZE=4194304 -sPTHREAD_POOL_SIZE=2)
else()
  # Without threads the engine lends the worker's thread back to the browser inside a search
  # (platform/host.cpp), which unwinds and rewinds the stack: Asyncify.
  target_link_options(quoril PRIVATE -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=1048576
    "-sASYNCIFY_REMOVE=['*evaluate*','*Evaluator*','*pawns*','*Pawns*','*material*','*endgame*','*see*','*picker*','*generate*','*make_side*','*tt_*','*printf*']")
endif()
