/* The native module's resources: the packed blob as the descriptor of an
   allocated ELF note, so that it is mapped with the module and found through
   its program headers (platform/resources_blob.h). */
    .section .note.orvane.resources, "a", @note
    .balign 4
    .long 7                 /* name size: "Orvane" and its NUL */
    .long 2f - 1f           /* descriptor size */
    .long 0x5352            /* note type */
    .asciz "Orvane"
    .balign 4
1:  .incbin ORVANE_RESOURCE_BLOB
2:  .balign 4

    .section .note.GNU-stack, "", @progbits
