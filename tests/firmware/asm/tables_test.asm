; Test firmware of the table include files: the low and the high table of
; curve line 0 at the addresses of the default table settings.
        list    p=16F876A
        radix   hex

PCLATH      equ 0x0A
TableBasse  equ 0x300
TableHaute  equ 0x500

        org     0x000
reset   goto    main

        org     0x010
main    movlw   high TableBasse
        movwf   PCLATH
        goto    main

        org     TableBasse
        include "LTAB0.TXT"

        org     TableHaute
        include "HTAB0.TXT"

        end
