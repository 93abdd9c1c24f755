/* The per-build control block. It is linked zero-filled and written after the
   link by the relabel tool, from a build profile; "d" keeps it an initialised
   data section with file bytes to patch, "r" maps it read-only. */
    .section .ctrl,"dr"
    .balign 16
    .globl corvane_ctrl_block
corvane_ctrl_block:
    .space 0x3000
