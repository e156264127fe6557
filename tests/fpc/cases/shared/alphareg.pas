unit AlphaReg;

interface

procedure Touch;

implementation

procedure Touch;
begin
end;


initialization
  WriteLn('AlphaReg starts');
end.
