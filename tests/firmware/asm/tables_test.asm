; Test firmware of the table include files: the low and the high table of
; curve lines 0 and 1 at addresses of its own.
        list    p=16F876A
        radix   hex

PCLATH      equ 0x0A
TableBasse0 equ 0x300
TableHaute0 equ 0x500
TableBasse1 equ 0x700
TableHaute1 equ 0x900

        org     0x000
reset   goto    main

        org     0x010
main    movlw   high TableBasse0
        movwf   PCLATH
        goto    main

        org     TableBasse0
        include "LTAB0.TXT"

        org     TableHaute0
        include "HTAB0.TXT"

        org     TableBasse1
        include "LTAB1.TXT"

        org     TableHaute1
        include "HTAB1.TXT"

        end
