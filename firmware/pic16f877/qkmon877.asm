; Resident monitor for a PIC16F877 board.
;
; Serves the register file (000-1FF, all four banks) over the on-chip USART
; at 9600 bit/s, 8 data bits, no parity, 1 stop bit. A request is upper- or
; lower-case hexadecimal argument digits followed by one command code byte;
; a reply is upper-case hexadecimal digits followed by CR:
;   aaaa + 1F            read 16 bytes                -> 32 digits
;   aaaa + 10..1E        read code-0F bytes           -> 2 digits per byte
;   aaaa dd.. + 00..1E   write code+1 bytes           -> the bytes read back
;   aaaab + 20 / 21      clear / set bit b            -> the byte read back
; Codes 1F-21 take the last digits when more arrive. Too few digits, a bit
; number above 7, a 00-1E code whose digit count fits neither a read nor a
; write, and any other code (including the port codes 22-25: this board has
; no port commands) get no reply. Addresses wrap within 000-1FF.
;
; Assemble with:  gpasm qkmon877.asm                     (4 MHz crystal)
;                 gpasm -D CLOCK_MHZ=20 qkmon877.asm     (20 MHz)

        list    p=16f877, r=dec
        #include <p16f877.inc>
        errorlevel -302             ; bank selection is done by hand below

;---------------------------------------------------------------------------
; Crystal: 4 or 20 (MHz). Chooses the oscillator mode and the baud divisor.
;---------------------------------------------------------------------------
#ifndef CLOCK_MHZ
#define CLOCK_MHZ d'4'
#endif

        if      CLOCK_MHZ == d'4'
OSC_MODE        equ     _XT_OSC
BAUD_DIVISOR    equ     d'25'       ; 4 MHz / (16 * 26) = 9615 bit/s (+0.16 %)
        else
        if      CLOCK_MHZ == d'20'
OSC_MODE        equ     _HS_OSC
BAUD_DIVISOR    equ     d'129'      ; 20 MHz / (16 * 130) = 9615 bit/s (+0.16 %)
        else
        error   "CLOCK_MHZ must be 4 or 20"
        endif
        endif

        __config _CP_OFF & _CPD_OFF & _DEBUG_OFF & _WRT_ENABLE_OFF & _LVP_OFF & _BODEN_ON & _PWRTE_ON & _WDT_OFF & OSC_MODE

;---------------------------------------------------------------------------
; RAM used by the monitor
;---------------------------------------------------------------------------
; The tick counter: a 16-bit value (low byte first) that the monitor counts
; up at every Timer1 overflow (every 0.52 s at 4 MHz, 0.105 s at 20 MHz), so
; that a watch page has a value that changes by itself.
TICKS           equ     0x20        ; bank 0, 020-021

; Monitor variables in the common area 070-07F (also seen at 0F0, 170 and
; 1F0), reachable whatever bank is selected.
DIGITS          equ     0x70        ; argument digits received (stops at 255)
SHIFT0          equ     0x71        ; the last five digits, 20 bits: 71 low
SHIFT1          equ     0x72
SHIFT2          equ     0x73
REQCODE            equ     0x74        ; the command code byte
ADDRL           equ     0x75        ; register address, 9 bits
ADDRH           equ     0x76
COUNT           equ     0x77        ; bytes left to read or write
CHAR            equ     0x78        ; received byte
NIBBLE          equ     0x79        ; value of a digit
TEMP            equ     0x7A
VALUE           equ     0x7B        ; byte being sent or written
MASK            equ     0x7C        ; bit mask of a bit request
INDEX           equ     0x7D        ; argument buffer position (low address)
TXCHAR          equ     0x7E        ; byte waiting to be sent

; Argument buffer in bank 3, 1A0-1C0: the first 66 digits of a request, two
; per byte (first digit in the high nibble), enough for a 31-byte write.
ARGBUF          equ     0x1A0
ARGBUF_DIGITS   equ     d'66'

CR              equ     0x0D

;---------------------------------------------------------------------------
; Vectors
;---------------------------------------------------------------------------
        org     0x0000
        clrf    PCLATH
        goto    start

        org     0x0004              ; interrupts are never enabled by the monitor
        retfie

;---------------------------------------------------------------------------
; Set-up
;---------------------------------------------------------------------------
start
        clrf    STATUS              ; bank 0, IRP clear
        clrf    TICKS
        clrf    TICKS+1
        clrf    DIGITS
        clrf    SHIFT0
        clrf    SHIFT1
        clrf    SHIFT2

        bsf     STATUS, RP0         ; bank 1
        movlw   BAUD_DIVISOR
        movwf   SPBRG
        movlw   b'00100100'         ; TXEN, asynchronous, BRGH (high speed)
        movwf   TXSTA
        bcf     TRISC, 6            ; RC6/TX drives the line
        bsf     TRISC, 7            ; RC7/RX listens
        bcf     STATUS, RP0         ; bank 0
        movlw   b'10010000'         ; SPEN, CREN: receiver on
        movwf   RCSTA
        movlw   b'00110001'         ; Timer1: prescaler 1:8, internal clock, on
        movwf   T1CON

;---------------------------------------------------------------------------
; Request loop: digits collect, any other byte is a command code.
;---------------------------------------------------------------------------
next_byte
        call    receive
        movwf   CHAR
        call    digit_value
        xorlw   0
        btfsc   STATUS, Z
        goto    command
        call    keep_digit
        goto    next_byte

command
        movf    CHAR, W
        movwf   REQCODE
        call    carry_out
        clrf    DIGITS
        goto    next_byte

; Carries out the request in REQCODE with the digits received.
carry_out
        movf    REQCODE, W
        sublw   0x1E                ; C when REQCODE <= 1E
        btfsc   STATUS, C
        goto    sized_request
        movf    REQCODE, W
        xorlw   0x1F
        btfsc   STATUS, Z
        goto    read_sixteen
        movf    REQCODE, W
        xorlw   0x20
        btfsc   STATUS, Z
        goto    bit_request
        movf    REQCODE, W
        xorlw   0x21
        btfsc   STATUS, Z
        goto    bit_request
        return                      ; unknown code: no reply

; aaaa + 1F: 16 bytes from the last four digits' address.
read_sixteen
        movlw   d'4'
        subwf   DIGITS, W           ; C when DIGITS >= 4
        btfss   STATUS, C
        return
        call    address_of_last_four
        movlw   d'16'
        movwf   COUNT
        goto    send_memory

; 00-1E: a write of REQCODE+1 bytes when 4 + 2 * (REQCODE+1) digits came,
; else a read of REQCODE-0F bytes (codes 10-1E) when exactly 4 digits came.
sized_request
        movf    REQCODE, W
        addwf   REQCODE, W
        addlw   d'6'
        xorwf   DIGITS, W
        btfsc   STATUS, Z
        goto    write_request
        movf    REQCODE, W
        sublw   0x0F                ; C when REQCODE <= 0F: no read code
        btfsc   STATUS, C
        return
        movf    DIGITS, W
        xorlw   d'4'
        btfss   STATUS, Z
        return
        call    address_of_last_four
        movf    REQCODE, W
        addlw   -0x0F
        movwf   COUNT
        goto    send_memory

write_request
        bsf     STATUS, IRP         ; the argument buffer is in bank 3
        movlw   low ARGBUF
        movwf   FSR
        movf    INDF, W             ; address digits 1-2 (bit 8 kept)
        andlw   0x01
        movwf   ADDRH
        incf    FSR, F
        movf    INDF, W             ; address digits 3-4
        movwf   ADDRL
        movlw   low ARGBUF + 2
        movwf   INDEX
        incf    REQCODE, W
        movwf   COUNT
write_next
        bsf     STATUS, IRP
        movf    INDEX, W
        movwf   FSR
        movf    INDF, W
        movwf   VALUE
        call    write_register
        call    next_address
        incf    INDEX, F
        decfsz  COUNT, F
        goto    write_next
        ; Read the bytes back from the first address, taken from the buffer
        ; again: the write may have changed the monitor's own variables.
        bsf     STATUS, IRP
        movlw   low ARGBUF
        movwf   FSR
        movf    INDF, W
        andlw   0x01
        movwf   ADDRH
        incf    FSR, F
        movf    INDF, W
        movwf   ADDRL
        incf    REQCODE, W
        movwf   COUNT
        goto    send_memory

; aaaab + 20 / 21: clear or set bit b of register aaaa (last five digits).
bit_request
        movlw   d'5'
        subwf   DIGITS, W           ; C when DIGITS >= 5
        btfss   STATUS, C
        return
        movf    SHIFT0, W
        andlw   0x0F
        movwf   TEMP                ; bit number
        sublw   d'7'                ; C when bit <= 7
        btfss   STATUS, C
        return
        ; address = the 20 bits shifted right by four
        swapf   SHIFT0, W
        andlw   0x0F
        movwf   ADDRL
        swapf   SHIFT1, W
        andlw   0xF0
        iorwf   ADDRL, F
        swapf   SHIFT1, W
        andlw   0x01
        movwf   ADDRH
        ; mask = 1 << bit
        movlw   0x01
        movwf   MASK
        incf    TEMP, F
bit_shift
        decf    TEMP, F
        btfsc   STATUS, Z
        goto    bit_apply
        bcf     STATUS, C
        rlf     MASK, F
        goto    bit_shift
bit_apply
        call    read_register
        movwf   VALUE
        movf    MASK, W
        btfss   REQCODE, 0             ; 20: clear, 21: set
        goto    bit_clear
        iorwf   VALUE, F
        goto    bit_store
bit_clear
        xorlw   0xFF
        andwf   VALUE, F
bit_store
        call    write_register
        movlw   d'1'
        movwf   COUNT
        goto    send_memory

;---------------------------------------------------------------------------
; Argument digits
;---------------------------------------------------------------------------
; W = 1 and NIBBLE = its value when CHAR is a hexadecimal digit, else W = 0.
digit_value
        movf    CHAR, W
        sublw   '9'                 ; C when CHAR <= '9'
        btfss   STATUS, C
        goto    letter_value
        movf    CHAR, W
        sublw   '0' - 1             ; C when CHAR < '0'
        btfsc   STATUS, C
        retlw   0
        movf    CHAR, W
        addlw   -'0'
        movwf   NIBBLE
        retlw   1
letter_value
        movf    CHAR, W
        andlw   0xDF                ; a-f as A-F
        movwf   TEMP
        sublw   'F'                 ; C when <= 'F'
        btfss   STATUS, C
        retlw   0
        movf    TEMP, W
        sublw   'A' - 1             ; C when < 'A'
        btfsc   STATUS, C
        retlw   0
        movf    TEMP, W
        addlw   d'10' - 'A'
        movwf   NIBBLE
        retlw   1

; Shifts NIBBLE into the last-five-digits register and, while there is room,
; stores it in the argument buffer; counts it.
keep_digit
        movlw   d'4'
        movwf   TEMP
keep_shift
        bcf     STATUS, C
        rlf     SHIFT0, F
        rlf     SHIFT1, F
        rlf     SHIFT2, F
        decfsz  TEMP, F
        goto    keep_shift
        movf    NIBBLE, W
        iorwf   SHIFT0, F

        movf    DIGITS, W
        sublw   ARGBUF_DIGITS - 1   ; C when DIGITS < 66
        btfss   STATUS, C
        goto    keep_count
        bcf     STATUS, C
        rrf     DIGITS, W
        addlw   low ARGBUF
        movwf   FSR
        bsf     STATUS, IRP
        btfsc   DIGITS, 0
        goto    keep_second
        swapf   NIBBLE, W
        movwf   INDF
        goto    keep_count
keep_second
        movf    NIBBLE, W
        iorwf   INDF, F
keep_count
        incfsz  DIGITS, W           ; stops at 255
        movwf   DIGITS
        return

; ADDRH:ADDRL = the last four digits, within 000-1FF.
address_of_last_four
        movf    SHIFT0, W
        movwf   ADDRL
        movf    SHIFT1, W
        andlw   0x01
        movwf   ADDRH
        return

;---------------------------------------------------------------------------
; Register file access through FSR/INDF, IRP selecting banks 2-3
;---------------------------------------------------------------------------
point_at_address
        movf    ADDRL, W
        movwf   FSR
        bcf     STATUS, IRP
        btfsc   ADDRH, 0
        bsf     STATUS, IRP
        return

; W = the register at ADDRH:ADDRL, as the chip reads it (INDF itself and
; unimplemented addresses read 0).
read_register
        call    point_at_address
        movf    INDF, W
        return

; Writes VALUE to the register at ADDRH:ADDRL. PCL (x02 in every bank) is
; left alone: writing it would jump out of the monitor.
write_register
        movf    ADDRL, W
        andlw   0x7F
        xorlw   PCL
        btfsc   STATUS, Z
        return
        call    point_at_address
        movf    VALUE, W
        movwf   INDF
        return

; The next address, wrapping from 1FF to 000.
next_address
        incf    ADDRL, F
        btfsc   STATUS, Z
        incf    ADDRH, F
        movlw   0x01
        andwf   ADDRH, F
        return

; Sends COUNT registers from ADDRH:ADDRL as digit pairs, then CR.
send_memory
        call    read_register
        call    send_byte
        call    next_address
        decfsz  COUNT, F
        goto    send_memory
        movlw   CR
        goto    transmit

;---------------------------------------------------------------------------
; Serial line
;---------------------------------------------------------------------------
; Sends W as two upper-case hexadecimal digits.
send_byte
        movwf   VALUE
        swapf   VALUE, W
        call    send_digit
        movf    VALUE, W
send_digit
        andlw   0x0F
        movwf   TEMP
        sublw   d'9'                ; C when <= 9
        movf    TEMP, W
        btfss   STATUS, C
        addlw   'A' - '0' - d'10'
        addlw   '0'
        ; falls through
; Sends W once the transmit register is free.
transmit
        movwf   TXCHAR
transmit_wait
        call    count_ticks         ; leaves bank 0 selected
        btfss   PIR1, TXIF
        goto    transmit_wait
        movf    TXCHAR, W
        movwf   TXREG
        return

; W = the next received byte. An overrun stops the receiver; it is
; restarted and the bytes lost are forgotten.
receive
        call    count_ticks         ; leaves bank 0 selected
        btfsc   RCSTA, OERR
        goto    receive_restart
        btfss   PIR1, RCIF
        goto    receive
        movf    RCREG, W
        return
receive_restart
        bcf     RCSTA, CREN
        bsf     RCSTA, CREN
        goto    receive

; Counts a Timer1 overflow into TICKS. Selects bank 0.
count_ticks
        bcf     STATUS, RP0
        bcf     STATUS, RP1
        btfss   PIR1, TMR1IF
        return
        bcf     PIR1, TMR1IF
        incf    TICKS, F
        btfsc   STATUS, Z
        incf    TICKS+1, F
        return

        end
