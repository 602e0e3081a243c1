# Velmora test game: event handlers
import CvUtil

def onGameStart(argsList):
	iPlayer = argsList[0]
	CvUtil.pyPrint("Velmora: game start")
	return 0

def onEndTurn(argsList):
	return 0
