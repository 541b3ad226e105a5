function initWebGL() {
}
function OnResize() {
}
function OnHelp(e) {
}
