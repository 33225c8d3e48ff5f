/* Context numbers of the help topics that the program opens by number. */
#define IDH_VENTANA_PRINCIPAL 3
