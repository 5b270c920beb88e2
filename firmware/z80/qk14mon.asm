; Resident monitor for a Z80 board, serving qk14 over a serial line.
;
; A request is ASCII hexadecimal argument digits (either case) followed by
; one command code byte (any byte that is not a digit). The reply is
; upper-case hexadecimal digits and a carriage return; a request that does
; not fit its command gets no reply at all.
;
;   code     digits             action                        reply
;   00-1E    AAAA + (n+1) pairs write n+1 bytes at AAAA       the n+1 bytes read back
;   10-1E    AAAA               read n-0Fh (1-15) bytes        the bytes
;   1F       AAAA               read 16 bytes                  the bytes
;   20 / 21  AAAA b             clear / set bit b of (AAAA)    the byte read back
;   22       PP VV              output VV to port PP           VV
;   23       PP                 input from port PP             the value read
;   24 / 25  PP b               clear / set bit b of port PP   the value written
;
; Codes 00-1E are a write when exactly 4+2*(n+1) digits came, else a read
; (10-1E) when exactly 4 came. The other codes use the last digits received
; and ignore earlier ones. A bit number above 7 gets no reply.
;
; Assemble with: z80asm -o qk14mon.bin qk14mon.asm (see firmware/README.md)

; ---------------------------------------------------------------------------
; Serial driver: the block to change for another board's UART (and the
; body of uart_init at the end, for a UART that needs other set-up).
; Default: port A of a 6850-based dual serial card at 10h/11h.
; ---------------------------------------------------------------------------
UART_STATUS:    equ 010h        ; status register (read) / control register (write)
UART_DATA:      equ 011h        ; receive (read) / transmit (write) data register
UART_RX_READY:  equ 001h        ; status bit: a received byte waits
UART_TX_READY:  equ 002h        ; status bit: the transmitter takes a byte
UART_RESET:     equ 003h        ; control: master reset
UART_MODE:      equ 015h        ; control: 8 data bits, no parity, 1 stop bit, clock/16, no interrupts

; ---------------------------------------------------------------------------
; RAM used by the monitor: FF00h-FFFFh (the top 256 bytes of the address
; space). Variables from FF00h, the stack below 0000h (first push at FFFFh).
; ---------------------------------------------------------------------------
RAM_BASE:       equ 0FF00h
counter:        equ RAM_BASE        ; 1 byte: counts up about 10 times a second while idle
tick_wait:      equ RAM_BASE+1      ; 2 bytes: idle loop passes left until the next count
request_code:   equ RAM_BASE+3      ; 1 byte: code of the request being answered
digit_count:    equ RAM_BASE+4      ; 1 byte: digits received since the last code (DIGITS_MAX+1: more)
digits:         equ RAM_BASE+5      ; DIGITS_MAX bytes: the last digits received, as values 0-15
DIGITS_MAX:     equ 66              ; the longest request: address and 31 data bytes
STACK_TOP:      equ 00000h

; Idle loop passes per count of `counter`: one pass takes 115 T-states, so
; about 10 counts a second at 4 MHz.
TICK_PASSES:    equ 3478

; Command codes.
CODE_READ16:    equ 01Fh
CODE_FIRST_READ: equ 010h
CODE_CLEAR_BIT: equ 020h
CODE_SET_BIT:   equ 021h
CODE_PORT_OUT:  equ 022h
CODE_PORT_IN:   equ 023h
CODE_PORT_LOW:  equ 024h
CODE_PORT_HIGH: equ 025h

CR:             equ 00Dh

        org 00000h
reset:
        di
        jp start

        ; Nothing here uses interrupts: a stray NMI returns at once.
        ds 066h - $, 0FFh
nmi:
        retn

start:
        ld sp, STACK_TOP
        call uart_init
        xor a
        ld (counter), a
        ld (digit_count), a
        ld hl, TICK_PASSES
        ld (tick_wait), hl

; Waits for the next byte, counting `counter` up meanwhile.
idle:
        ld hl, (tick_wait)
        dec hl
        ld a, h
        or l
        jr nz, idle_keep
        ld hl, counter
        inc (hl)
        ld hl, TICK_PASSES
idle_keep:
        ld (tick_wait), hl
        call uart_poll
        jr z, idle
        call uart_get
        call take_byte
        jr idle

; Takes one received byte (A): a digit is kept, any other byte is the code
; that ends the request.
take_byte:
        call digit_value
        jr c, take_code
        ld b, a
        ld hl, digit_count
        ld a, (hl)
        cp DIGITS_MAX
        jr nc, take_shift
        inc (hl)
        ld e, a
        ld d, 0
        ld hl, digits
        add hl, de
        ld (hl), b
        ret
take_shift:
        ; Full: keep the newest digits, and the count beyond any request.
        ld (hl), DIGITS_MAX + 1
        ld a, b
        ld hl, digits + 1
        ld de, digits
        ld bc, DIGITS_MAX - 1
        ldir
        ld (de), a
        ret
take_code:
        call run_request
        xor a
        ld (digit_count), a
        ret

; A = a received byte. A hexadecimal digit: no carry, A = its value 0-15.
; Anything else: carry, A unchanged.
digit_value:
        cp '0'
        ret c
        cp '9' + 1
        jr c, digit_decimal
        cp 'A'
        ret c
        cp 'F' + 1
        jr c, digit_upper
        cp 'a'
        ret c
        cp 'f' + 1
        ccf
        ret c
        sub 'a' - 10
        ret
digit_upper:
        sub 'A' - 10
        ret
digit_decimal:
        sub '0'
        ret

; Answers the request whose code is A.
run_request:
        ld (request_code), a
        ld c, a
        cp CODE_READ16
        jr c, sized_request
        jr z, read16
        cp CODE_CLEAR_BIT
        jr z, memory_bit
        cp CODE_SET_BIT
        jr z, memory_bit
        cp CODE_PORT_OUT
        jp z, port_out
        cp CODE_PORT_IN
        jp z, port_in
        cp CODE_PORT_LOW
        jp z, port_bit
        cp CODE_PORT_HIGH
        jp z, port_bit
        ret

; Codes 00-1E (C): a write of C+1 bytes or a read of C-0Fh bytes.
sized_request:
        ld a, c
        add a, a
        add a, 6
        ld b, a
        ld a, (digit_count)
        cp b
        jr z, write_bytes
        cp 4
        ret nz
        ld a, c
        sub CODE_FIRST_READ
        ret c
        inc a
        ld b, a
        ld hl, digits
        call word_value
        ex de, hl
        jp reply_memory
write_bytes:
        ld hl, digits
        call word_value
        ld b, c
        inc b
        push de
        push bc
write_next:
        call pair_value
        ld (de), a
        inc de
        djnz write_next
        pop bc
        pop hl
        jp reply_memory

read16:
        ld b, 4
        call argument
        ret c
        call word_value
        ex de, hl
        ld b, 16
        jp reply_memory

; Codes 20/21: clear or set a bit of a memory byte.
memory_bit:
        ld b, 5
        call argument
        ret c
        call word_value
        ld a, (hl)
        call bit_mask
        ret c
        ld a, (de)
        call apply_bit
        ld (de), a
        ld a, (de)
        jp reply_byte

port_out:
        ld b, 4
        call argument
        ret c
        call pair_value
        ld c, a
        call pair_value
        out (c), a
        jp reply_byte

port_in:
        ld b, 2
        call argument
        ret c
        call pair_value
        ld c, a
        in a, (c)
        jp reply_byte

; Codes 24/25: read the port, clear or set the bit, write it back.
port_bit:
        ld b, 3
        call argument
        ret c
        call pair_value
        ld c, a
        ld a, (hl)
        call bit_mask
        ret c
        in a, (c)
        call apply_bit
        out (c), a
        jp reply_byte

; B = number of digits an argument takes. Carry when fewer came; else HL =
; the first of the last B digits. Keeps DE.
argument:
        ld a, (digit_count)
        cp DIGITS_MAX + 1
        jr c, argument_count
        ld a, DIGITS_MAX
argument_count:
        cp b
        ret c
        sub b
        ld hl, digits
        add a, l
        ld l, a
        ld a, h
        adc a, 0
        ld h, a
        or a
        ret

; A = bit number digit value. Carry when above 7; else B = its mask.
bit_mask:
        cp 8
        ccf
        ret c
        ld b, a
        inc b
        ld a, 080h
bit_mask_shift:
        rlca
        djnz bit_mask_shift
        ld b, a
        or a
        ret

; A = a value, B = a bit mask: A with the bit set (odd request codes) or
; cleared (even ones). Keeps all other registers.
apply_bit:
        push hl
        ld hl, request_code
        bit 0, (hl)
        pop hl
        jr z, apply_clear
        or b
        ret
apply_clear:
        push bc
        ld c, a
        ld a, b
        cpl
        and c
        pop bc
        ret

; Two digits at HL into A; HL moves past them.
pair_value:
        ld a, (hl)
        inc hl
        rlca
        rlca
        rlca
        rlca
        or (hl)
        inc hl
        ret

; Four digits at HL into DE; HL moves past them.
word_value:
        call pair_value
        ld d, a
        call pair_value
        ld e, a
        ret

; Replies with the B bytes from HL.
reply_memory:
        ld a, (hl)
        call put_hex
        inc hl
        djnz reply_memory
        jr reply_end

; Replies with the byte in A.
reply_byte:
        call put_hex
reply_end:
        ld a, CR
        jp uart_put

; Sends A as two upper-case hexadecimal digits.
put_hex:
        push af
        rrca
        rrca
        rrca
        rrca
        call put_digit
        pop af
put_digit:
        and 00Fh
        add a, '0'
        cp '9' + 1
        jr c, uart_put
        add a, 'A' - '9' - 1
        ; falls through

; ---------------------------------------------------------------------------
; Serial driver routines (see the constants at the top).
; ---------------------------------------------------------------------------

; Sends A; waits while the transmitter is busy. Keeps all other registers.
uart_put:
        push af
uart_put_wait:
        in a, (UART_STATUS)
        and UART_TX_READY
        jr z, uart_put_wait
        pop af
        out (UART_DATA), a
        ret

uart_init:
        ld a, UART_RESET
        out (UART_STATUS), a
        ld a, UART_MODE
        out (UART_STATUS), a
        ret

; Zero flag clear when a received byte waits.
uart_poll:
        in a, (UART_STATUS)
        and UART_RX_READY
        ret

; The received byte into A.
uart_get:
        in a, (UART_DATA)
        ret

end
