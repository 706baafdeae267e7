/* The plug-in's resource ids: one list for the Windows resource script, the
   Linux embedding and the C++ code. Plain #defines, so that windres and the
   assembler can read this file too. */
#ifndef LUMAVOX_RESOURCE_IDS_H
#define LUMAVOX_RESOURCE_IDS_H

/* The factory bank: a VST bank file, resource type "FXB". */
#define LUMAVOX_RES_FACTORY_BANK 218

/* The editor's pictures: "PNG" resources, or Windows bitmap resources. */
#define LUMAVOX_RES_PEN_SIZE_KNOB 130 /* 15 images of 32 x 32, a dot growing */
#define LUMAVOX_RES_DENSITY_KNOB 132  /* 15 images of 32 x 32, a dot brightening */
#define LUMAVOX_RES_BACKGROUND 227    /* 688 x 604, the panel with its captions */
#define LUMAVOX_RES_KICK_BUTTON 236   /* 2 images of 24 x 16: up, pressed */
#define LUMAVOX_RES_TOOL_SWITCH 250   /* 3 images of 96 x 32: pen, spray, line */
#define LUMAVOX_RES_CANVAS_LABELS 251 /* 504 x 32, the canvas's label strip */
#define LUMAVOX_RES_KNOB 252          /* 101 images of 32 x 32, values 0 to 100 */
#define LUMAVOX_RES_PAN_KNOB 253      /* 65 images of 32 x 32, left 100 to right 100 */
#define LUMAVOX_RES_BEND_KNOB 254     /* 65 images of 32 x 32, 0 to 12 semitones */
#define LUMAVOX_RES_LAMP 255          /* 2 images of 16 x 16: off, on */
#define LUMAVOX_RES_VIEW_SWITCH 256   /* 3 images of 36 x 72: off, waveform, spectrum */
#define LUMAVOX_RES_HELP_BUTTON 257   /* 2 images of 16 x 16: off, on */
#define LUMAVOX_RES_HELP_OVERLAY 258  /* 512 x 512, drawn over the canvas */
#define LUMAVOX_RES_COLOUR_SWITCH 259 /* 31 images of 96 x 16, red to white to green */

#endif
