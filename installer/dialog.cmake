# main dialog sources (inst_dialog)
