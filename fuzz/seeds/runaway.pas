@uses B, A
var X: Integer;
implementation uses D, C;