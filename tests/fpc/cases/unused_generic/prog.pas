program prog;
{$mode objfpc}
uses
  Boxes, Plain;

type
  TIntBox = specialize TBox<Integer>;
var
  Box: TIntBox;
begin
  Box := TIntBox.Create;
  Box.Item := 7;
  WriteLn(Box.Item);
  Box.Free;
end.
